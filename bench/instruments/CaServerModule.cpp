// The bench's CA server module: one CA instrument with one probe, reached through the bench's
// control socket. Every call is reported to the bench as "ca CALL" (see LibraryCalls.h for the
// call texts) and answers as the bench's verdict says; a measurement asks the bench to measure
// the patch its monitor shows. Without a reachable bench there is no instrument: the collection
// is refused and every later call fails, while the configuration is still accepted.
#include <cstdint>
#include <memory>
#include <string>

#include "bench/instruments/BenchClient.h"
#include "platform/CaServerInterface.h"

namespace velluma::bench {
namespace {

using ca200::Variant;

// 32-bit results as the server gives them.
constexpr int32_t kFailed = static_cast<int32_t>(0x80004005);       // E_FAIL
constexpr int32_t kNullPointer = static_cast<int32_t>(0x80004003);  // E_POINTER
constexpr int32_t kBadIndex = static_cast<int32_t>(0x80070057);     // E_INVALIDARG
constexpr int32_t kZeroCalibrateEntry = 22;
constexpr int32_t kMeasureEntry = 23;

// Reports a call; what the bench says, or a failure when it cannot be reached.
int32_t Report(const std::string& call) {
  return client::ReportCall("ca", call, kFailed).value_or(kFailed);
}

bool IsFirst(const Variant& index) {
  return index.type == Variant::kVtI4 && index.value == 1;
}

// The values of the last measurement, shared by the instrument and its probe: whichever of the
// objects the caller releases last, the values stay valid until then.
struct ProbeValues {
  float sx = 0;
  float sy = 0;
  float lv = 0;
};

// Hands out a new object when the result allows it (a success, code or not).
template <typename Interface, typename Object>
int32_t HandOut(int32_t result, Interface** out, std::unique_ptr<Object> object) {
  *out = result >= 0 ? object.release() : nullptr;
  return result;
}

class Probe : public ca200::IProbe {
 public:
  explicit Probe(std::shared_ptr<ProbeValues> values) : values_(std::move(values)) {}
  void Release() override { delete this; }
  int32_t get_sx(float* value) override { return Read("Probe.get_sx", values_->sx, value); }
  int32_t get_sy(float* value) override { return Read("Probe.get_sy", values_->sy, value); }
  int32_t get_Lv(float* value) override { return Read("Probe.get_Lv", values_->lv, value); }

 private:
  // A refused read leaves the caller's variable as it was.
  static int32_t Read(const std::string& call, float stored, float* value) {
    int32_t result = Report(call);
    if (value == nullptr) return kNullPointer;
    if (result >= 0) *value = stored;
    return result;
  }

  std::shared_ptr<ProbeValues> values_;
};

class Probes : public ca200::IProbes {
 public:
  explicit Probes(std::shared_ptr<ProbeValues> values) : values_(std::move(values)) {}
  void Release() override { delete this; }
  int32_t get_Item(Variant index, ca200::IProbe** probe) override {
    int32_t result = Report("Probes.get_Item " + std::to_string(index.value));
    if (probe == nullptr) return kNullPointer;
    if (result >= 0 && !IsFirst(index)) result = kBadIndex;
    return HandOut(result, probe, std::make_unique<Probe>(values_));
  }

 private:
  std::shared_ptr<ProbeValues> values_;
};

class Memory : public ca200::IMemory {
 public:
  void Release() override { delete this; }
  int32_t Invoke(int32_t entry, int32_t argument) override {
    return Report("Memory." + std::to_string(entry) + " " + std::to_string(argument));
  }
};

class Ca : public ca200::ICa {
 public:
  Ca() : values_(std::make_shared<ProbeValues>()) {}
  void Release() override { delete this; }
  int32_t get_Probes(ca200::IProbes** probes) override {
    int32_t result = Report("Ca.get_Probes");
    if (probes == nullptr) return kNullPointer;
    return HandOut(result, probes, std::make_unique<Probes>(values_));
  }
  int32_t get_Memory(ca200::IMemory** memory) override {
    int32_t result = Report("Ca.get_Memory");
    if (memory == nullptr) return kNullPointer;
    return HandOut(result, memory, std::make_unique<Memory>());
  }
  int32_t Invoke(int32_t entry, int32_t argument) override {
    // The zero calibration takes no argument.
    std::string call = "Ca." + std::to_string(entry);
    if (entry != kZeroCalibrateEntry) {
      call += ' ';
      call += std::to_string(argument);
    }
    int32_t result = Report(call);
    if (entry == kMeasureEntry && result == ca200::kOk) result = Measure();
    return result;
  }

 private:
  int32_t Measure() {
    std::optional<client::Light> light = client::Measure();
    if (!light) return kFailed;
    *values_ = {static_cast<float>(light->x), static_cast<float>(light->y),
                static_cast<float>(light->Y)};
    return ca200::kOk;
  }

  std::shared_ptr<ProbeValues> values_;
};

class Cas : public ca200::ICas {
 public:
  void Release() override { delete this; }
  int32_t get_Item(Variant index, ca200::ICa** ca) override {
    int32_t result = Report("Cas.get_Item " + std::to_string(index.value));
    if (ca == nullptr) return kNullPointer;
    if (result >= 0 && !IsFirst(index)) result = kBadIndex;
    return HandOut(result, ca, std::make_unique<Ca>());
  }
};

class Server : public ca200::ICa200 {
 public:
  void Release() override { delete this; }
  int32_t get_Cas(ca200::ICas** cas) override {
    int32_t result = Report("get_Cas");
    if (cas == nullptr) return kNullPointer;
    return HandOut(result, cas, std::make_unique<Cas>());
  }
  // Accepted also without a bench: configuring does not reach the instrument yet.
  int32_t SetConfiguration(int32_t caNumber, const char* probeNumbers, int32_t port,
                           int32_t baudRate) override {
    std::string call = "SetConfiguration " + std::to_string(caNumber) + " " +
                       (probeNumbers != nullptr ? probeNumbers : "") + " " + std::to_string(port) +
                       " " + std::to_string(baudRate);
    return client::ReportCall("ca", call, kFailed).value_or(ca200::kOk);
  }
};

}  // namespace

// C linkage: the factory is exported under its bare name, as the program looks it up.
extern "C" __attribute__((visibility("default"))) ca200::ICa200* CreateCa200Server() {
  return new Server();
}

}  // namespace velluma::bench
