#include "instruments/EyeOneAnalyzer.h"

#include "platform/Environment.h"

namespace velluma {

namespace {

// Every entry point of the library, resolved by name in this order; all must be there.
constexpr const char* kEntryPoints[] = {
    "I1_IsConnected",    "I1_KeyPressed",         "I1_GetNumberOfAvailableSamples",
    "I1_Calibrate",      "I1_TriggerMeasurement", "I1_GetSpectrum",
    "I1_GetTriStimulus", "I1_GetDensity",         "I1_GetDensities",
    "I1_SetSubstrate",   "I1_SetOption",          "I1_GetOption",
};

int Low8(std::int32_t result) {
  return result & 0xFF;
}

}  // namespace

std::string EyeOneAnalyzer::LibraryPath() {
  if (std::string path = EnvironmentValue("VELLUMA_EYEONE"); !path.empty()) return path;
  return SharedLibrary::InstalledPath("EyeOne");
}

EyeOneAnalyzer::EyeOneAnalyzer(int kind, const std::string& /*port*/, int /*speed*/)
    : kind_(kind) {}

EyeOneAnalyzer::~EyeOneAnalyzer() = default;

int EyeOneAnalyzer::LoadEyeOne() {
  if (library_.IsLoaded()) return 0;
  if (!library_.Load(LibraryPath()) || !ResolveEntryPoints()) {
    library_.Unload();
    return kNotLoaded;
  }
  return 0;
}

bool EyeOneAnalyzer::ResolveEntryPoints() {
  void* found[std::size(kEntryPoints)] = {};
  for (std::size_t i = 0; i < std::size(kEntryPoints); ++i)
    if (!(found[i] = library_.Symbol(kEntryPoints[i]))) return false;
  isConnected_ = reinterpret_cast<Call>(found[0]);
  calibrate_ = reinterpret_cast<Call>(found[3]);
  triggerMeasurement_ = reinterpret_cast<Call>(found[4]);
  getTriStimulus_ = reinterpret_cast<TriStimulusCall>(found[6]);
  setOption_ = reinterpret_cast<OptionCall>(found[10]);
  return true;
}

int EyeOneAnalyzer::IsConnected() {
  return library_.IsLoaded() ? Low8(isConnected_()) : kNoLibrary;
}

int EyeOneAnalyzer::Calibrate() {
  return library_.IsLoaded() ? Low8(calibrate_()) : kNoLibrary;
}

int EyeOneAnalyzer::TriggerMeasurement() {
  return library_.IsLoaded() ? Low8(triggerMeasurement_()) : kNoLibrary;
}

int EyeOneAnalyzer::GetTriStimulus(float triStimulus[3], int index) {
  return library_.IsLoaded() ? Low8(getTriStimulus_(triStimulus, index)) : kNoLibrary;
}

int EyeOneAnalyzer::SetOption(const std::string& key, const std::string& value) {
  return library_.IsLoaded() ? Low8(setOption_(key.c_str(), value.c_str())) : kNoLibrary;
}

}  // namespace velluma
