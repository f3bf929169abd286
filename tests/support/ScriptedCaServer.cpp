#include "tests/support/ScriptedCaServer.h"

namespace velluma::test {

namespace {

template <typename Interface>
class Scripted : public Interface {
 public:
  explicit Scripted(CaScript& script) : script_(script) { ++script_.liveObjects; }
  void Release() override {
    --script_.liveObjects;
    delete this;
  }

 protected:
  ~Scripted() override = default;
  void Record(const std::string& call) { script_.calls.push_back(call); }
  CaScript& script_;
};

class Probe : public Scripted<ca200::IProbe> {
 public:
  using Scripted::Scripted;
  std::int32_t get_sx(float* v) override {
    Record("Probe.sx");
    *v = script_.sx;
    return script_.sxResult;
  }
  std::int32_t get_sy(float* v) override {
    Record("Probe.sy");
    *v = script_.sy;
    return 0;
  }
  std::int32_t get_Lv(float* v) override {
    Record("Probe.Lv");
    *v = script_.lv;
    return 0;
  }
};

class Probes : public Scripted<ca200::IProbes> {
 public:
  using Scripted::Scripted;
  std::int32_t get_Item(ca200::Variant index, ca200::IProbe** probe) override {
    Record("Probes.Item " + std::to_string(index.type) + ":" + std::to_string(index.value));
    *probe = new Probe(script_);
    return 0;
  }
};

class Memory : public Scripted<ca200::IMemory> {
 public:
  using Scripted::Scripted;
  std::int32_t Invoke(std::int32_t entry, std::int32_t argument) override {
    Record("Memory." + std::to_string(entry) + " " + std::to_string(argument));
    return 0;
  }
};

class Ca : public Scripted<ca200::ICa> {
 public:
  using Scripted::Scripted;
  std::int32_t get_Probes(ca200::IProbes** probes) override {
    Record("Ca.Probes");
    *probes = new Probes(script_);
    return 0;
  }
  std::int32_t get_Memory(ca200::IMemory** memory) override {
    Record("Ca.Memory");
    *memory = new Memory(script_);
    return 0;
  }
  std::int32_t Invoke(std::int32_t entry, std::int32_t argument) override {
    std::string call = "Ca." + std::to_string(entry);
    if (entry != 22) {
      call += ' ';
      call += std::to_string(argument);
    }
    Record(call);
    if (entry == 22) return script_.zeroResult;
    if (entry == 23) {
      const int index = script_.measurements++;
      return script_.onMeasure ? script_.onMeasure(index, script_) : script_.measureResult;
    }
    if (entry == 36) return script_.remoteResult;
    return 0;
  }
};

class Cas : public Scripted<ca200::ICas> {
 public:
  using Scripted::Scripted;
  std::int32_t get_Item(ca200::Variant index, ca200::ICa** ca) override {
    Record("Cas.Item " + std::to_string(index.type) + ":" + std::to_string(index.value));
    *ca = new Ca(script_);
    return 0;
  }
};

class Server : public Scripted<ca200::ICa200> {
 public:
  using Scripted::Scripted;
  std::int32_t get_Cas(ca200::ICas** cas) override {
    Record("Server.Cas");
    *cas = script_.casResult < 0 || script_.noCollection ? nullptr : new Cas(script_);
    return script_.casResult;
  }
  std::int32_t SetConfiguration(std::int32_t caNumber, const char* probes, std::int32_t port,
                                std::int32_t baud) override {
    Record("SetConfiguration " + std::to_string(caNumber) + " " + probes + " " +
           std::to_string(port) + " " + std::to_string(baud));
    return 0;
  }
};

}  // namespace

ca200::ICa200* MakeScriptedCaServer(CaScript& script) {
  return new Server(script);
}

}  // namespace velluma::test
