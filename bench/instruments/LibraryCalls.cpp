#include "bench/instruments/LibraryCalls.h"

#include <map>

namespace velluma::bench {
namespace {

std::string_view FirstWord(std::string_view call) {
  return call.substr(0, call.find(' '));
}

std::string_view RestAfterFirstWord(std::string_view call) {
  size_t space = call.find(' ');
  return space == std::string_view::npos ? std::string_view() : call.substr(space + 1);
}

std::string Verdict(const FaultRule* fault) {
  if (fault == nullptr) return "ok";
  if (fault->Action() == FaultAction::Code) return "code " + std::to_string(fault->Code());
  return "fail";
}

std::vector<std::string> CaAliases(std::string_view call) {
  static const std::map<std::string_view, std::string> kShortNames = {
      {"get_Cas", "collection"},   {"Cas.get_Item", "instrument"},
      {"Ca.get_Memory", "memory"}, {"Ca.36", "remote"},
      {"Ca.22", "zero"},           {"Ca.23", "measure"},
      {"Probe.get_sx", "sx"},      {"Probe.get_sy", "sy"},
      {"Probe.get_Lv", "Lv"}};
  auto found = kShortNames.find(FirstWord(call));
  if (found == kShortNames.end()) return {};
  return {found->second};
}

void CaEffect(std::string_view call, DeviceRecord& record) {
  std::string_view member = FirstWord(call);
  if (member == "SetConfiguration") record.Set("config", std::string(RestAfterFirstWord(call)));
  if (member == "Ca.36") record.Set("remote", std::string(RestAfterFirstWord(call)));
  if (member == "Ca.22") record.Count("zero-calibrations");
  if (member == "Ca.23") record.Count("measurements");
}

void EyeOneEffect(std::string_view call, DeviceRecord& record) {
  if (call == "Calibrate") record.Count("calibrations");
  if (call == "TriggerMeasurement") record.Count("measurements");
}

}  // namespace

LibraryCalls::LibraryCalls(FaultDevice device, FaultScript& faults, DeviceRecord& record,
                           Aliases aliases, Effect effect)
    : device_(device),
      faults_(faults),
      record_(record),
      aliases_(std::move(aliases)),
      effect_(std::move(effect)) {}

std::string LibraryCalls::Answer(const std::string& call) {
  record_.AppendLog(call);
  std::vector<std::string> aliases = aliases_(call);
  std::vector<std::string_view> names = {call};
  names.insert(names.end(), aliases.begin(), aliases.end());
  const FaultRule* fault = faults_.Match(device_, names);
  if (fault == nullptr) effect_(call, record_);
  return Verdict(fault);
}

LibraryCalls CaServerCalls(FaultScript& faults, DeviceRecord& record) {
  record.Set("remote", "none");
  record.Set("config", "none");
  record.Set("measurements", "0");
  record.Set("zero-calibrations", "0");
  return LibraryCalls(FaultDevice::Ca, faults, record, CaAliases, CaEffect);
}

LibraryCalls EyeOneCalls(FaultScript& faults, DeviceRecord& record) {
  record.Set("calibrations", "0");
  record.Set("measurements", "0");
  return LibraryCalls(
      FaultDevice::EyeOne, faults, record,
      [](std::string_view) { return std::vector<std::string>{}; }, EyeOneEffect);
}

}  // namespace velluma::bench
