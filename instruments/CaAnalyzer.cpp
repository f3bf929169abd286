#include "instruments/CaAnalyzer.h"

#include <cmath>
#include <limits>

namespace velluma {

namespace {

constexpr std::int32_t kInstrumentNumber = 1;
constexpr const char* kProbeNumbers = "1";
constexpr std::int32_t kMemoryEntry = 1;

// The ICa setters of the set-up, in the order they are made: own entry and value.
struct Setter {
  std::int32_t entry;
  std::int32_t value;
};
constexpr Setter kCaSetters[] = {{7, 0}, {9, 0}, {13, 2}, {11, 1}, {36, 0}};

// The memory setter's value: 4 for the CA-210, 0 for the CA-310.
std::int32_t MemoryValue(int kind) {
  return kind == 1 ? 4 : 0;
}

constexpr const char* kNotConnectedText = "Not Connect!  Restart Application";

constexpr double kNotDelivered = std::numeric_limits<double>::quiet_NaN();

}  // namespace

bool CaAnalyzer::caSetupFailed_ = false;

CaAnalyzer::CaAnalyzer(int kind, const std::string& port, int speed, MessageBoxFunction messageBox,
                       CaServer& server)
    : kind_(kind), messageBox_(std::move(messageBox)) {
  ca200::ICa200& connected = server.Connect();
  if (!SetUp(connected, port, speed)) {
    caSetupFailed_ = true;
    if (notConnectedShown_) setUpFailure_ = kNotConnectedText;
    return;
  }
  caSetupFailed_ = false;
}

CaAnalyzer::~CaAnalyzer() = default;

int CaAnalyzer::PortNumber(const std::string& port) {
  if (port == "USB") return 0;
  return port.size() > 3 ? port[3] - '0' : -'0';
}

bool CaAnalyzer::SetUp(ca200::ICa200& server, const std::string& port, int speed) {
  server.SetConfiguration(kInstrumentNumber, kProbeNumbers, PortNumber(port), speed);
  ca200::ICas* cas = nullptr;
  if (!Accessed(server.get_Cas(&cas)) || !cas) return false;
  cas_.reset(cas);
  ca200::ICa* ca = nullptr;
  if (!Accessed(cas_->get_Item({ca200::Variant::kVtI4, 1}, &ca)) || !ca) return false;
  ca_.reset(ca);
  ca200::IProbes* probes = nullptr;
  if (!Accessed(ca_->get_Probes(&probes)) || !probes) return false;
  probes_.reset(probes);
  ca200::IProbe* probe = nullptr;
  if (!Accessed(probes_->get_Item({ca200::Variant::kVtI4, 1}, &probe)) || !probe) return false;
  probe_.reset(probe);
  ca200::IMemory* memory = nullptr;
  if (!Accessed(ca_->get_Memory(&memory)) || !memory) return false;
  memory_.reset(memory);
  memory_->Invoke(kMemoryEntry, MemoryValue(kind_));
  for (const Setter& setter : kCaSetters) ca_->Invoke(setter.entry, setter.value);
  return true;
}

bool CaAnalyzer::Accessed(std::int32_t result) {
  if (result >= 0) return true;
  if (!messageBox_) return false;
  messageBox_(kNotConnectedText, "ERROR: ", 0);
  notConnectedShown_ = true;
  return false;
}

// The low 16 bits of a refusal. A refusal whose low bits are all zero would read as success;
// it is reported as 65535 ("Other Error") instead.
int CaAnalyzer::ResultCode(std::int32_t result) {
  if (result == ca200::kOk) return 0;
  const int low = static_cast<int>(static_cast<std::uint32_t>(result) & 0xFFFF);
  return low == 0 ? 0xFFFF : low;
}

int CaAnalyzer::BeginRemote() {
  if (ca_) ca_->Invoke(kRemoteModeEntry, 1);
  return 0;
}

int CaAnalyzer::EndRemote() {
  if (ca_) ca_->Invoke(kRemoteModeEntry, 0);
  return 0;
}

int CaAnalyzer::ZeroCalibrate() {
  if (!ca_) return 0xFFFF;
  return ResultCode(ca_->Invoke(kZeroCalibrationEntry, 0));
}

int CaAnalyzer::Measure(double& x, double& y, double& Y) {
  if (!ca_ || !probe_) return 0xFFFF;
  if (int code = ResultCode(ca_->Invoke(kMeasureEntry, 1))) return code;
  float value = 0;
  x = Accessed(probe_->get_sx(&value)) ? value : kNotDelivered;
  y = Accessed(probe_->get_sy(&value)) ? value : kNotDelivered;
  Y = Accessed(probe_->get_Lv(&value)) ? value : kNotDelivered;
  return 0;
}

std::string CaAnalyzer::ErrorText(int code) {
  switch (code) {
    case 0:
      return "OK";
    case 411:
      return "SET MAIN PROBE(E25)";
    case 412:
      return "PROBE ERROR(E26)";
    case 426:
      return "DARKEN PROBE(E30)";
    case 521:
    case 523:
      return "TOO BRIGHT(E21)";
    default:
      return "Other Error";
  }
}

int CaAnalyzer::SetupStatus() {
  return caSetupFailed_ ? -1 : 0;
}

}  // namespace velluma
