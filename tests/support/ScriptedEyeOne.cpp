// A stand-in for the EyeOne library, built as a shared library for the driver's tests: every
// entry point records its call, and ScriptedEyeOneSet chooses its results. Built a second time
// with SCRIPTED_EYEONE_LACKS_GET_OPTION, it lacks one entry point.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace {
std::map<std::string, std::int32_t>& Results() {
  static std::map<std::string, std::int32_t> results;
  return results;
}
std::string& Log() {
  static std::string log;
  return log;
}
std::int32_t Called(const std::string& name) {
  Log() += name + ";";
  return Results()[name];
}
}  // namespace

extern "C" {

void ScriptedEyeOneSet(const char* name, std::int32_t result) {
  Results()[name] = result;
}
const char* ScriptedEyeOneLog() {
  return Log().c_str();
}
void ScriptedEyeOneReset() {
  Results().clear();
  Log().clear();
}

std::int32_t I1_IsConnected() {
  return Called("IsConnected");
}
std::int32_t I1_KeyPressed() {
  return Called("KeyPressed");
}
std::int32_t I1_GetNumberOfAvailableSamples() {
  return Called("GetNumberOfAvailableSamples");
}
std::int32_t I1_Calibrate() {
  return Called("Calibrate");
}
std::int32_t I1_TriggerMeasurement() {
  return Called("TriggerMeasurement");
}
std::int32_t I1_GetSpectrum(float*, std::int32_t) {
  return Called("GetSpectrum");
}
std::int32_t I1_GetTriStimulus(float* values, std::int32_t index) {
  values[0] = 0.3127f;
  values[1] = 0.3290f;
  values[2] = 240.5f;
  return Called("GetTriStimulus " + std::to_string(index));
}
std::int32_t I1_GetDensity(float*, std::int32_t) {
  return Called("GetDensity");
}
std::int32_t I1_GetDensities(float*, std::int32_t*, std::int32_t) {
  return Called("GetDensities");
}
std::int32_t I1_SetSubstrate(float*) {
  return Called("SetSubstrate");
}
std::int32_t I1_SetOption(const char* key, const char* value) {
  return Called(std::string("SetOption ") + key + "=" + value);
}
#ifndef SCRIPTED_EYEONE_LACKS_GET_OPTION
const char* I1_GetOption(const char*) {
  Called("GetOption");
  return "";
}
#endif
}
