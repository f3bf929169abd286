// The bench's EyeOne library: an i1-Pro reached through the bench's control socket. Every entry
// point reports its call to the bench as "eyeone CALL" (see LibraryCalls.h) and fails when the
// bench refuses it or cannot be reached; 0 is success (eNoError), 1 the failure this library
// gives (the bench's "code N" gives N instead). A measurement asks the bench to measure the
// patch its monitor shows. The tri-stimulus values come as x, y, Y when the option
// "ColorSpaceDescription.Type" is "CIExyY", otherwise as X, Y, Z.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "bench/instruments/BenchClient.h"

namespace velluma::bench {
namespace {

constexpr int32_t kNoError = 0;
constexpr int32_t kFailed = 1;
constexpr int kSpectrumSamples = 36;
constexpr const char* kColorSpaceKey = "ColorSpaceDescription.Type";

// The options the library knows and the values each takes; others are refused.
const std::map<std::string, std::set<std::string>>& KnownOptions() {
  static const std::map<std::string, std::set<std::string>> kOptions = {
      {"MeasurementMode", {"SingleEmission", "SingleReflectance", "SingleAmbientLight"}},
      {"Colorimetric.Illumination", {"Emission", "D50", "D65", "A"}},
      {"Colorimetric.Observer", {"TwoDegree", "TenDegree"}},
      {kColorSpaceKey, {"CIExyY", "CIEXYZ"}},
  };
  return kOptions;
}

// What the library holds between calls: the options set and the last measurement.
struct LibraryState {
  std::mutex mutex;
  std::map<std::string, std::string> options;
  std::optional<client::Light> last;
};

LibraryState& State() {
  static LibraryState state;
  return state;
}

int32_t Report(const std::string& call) {
  return client::ReportCall("eyeone", call, kFailed).value_or(kFailed);
}

bool Accepts(const char* key, const char* value) {
  if (key == nullptr || value == nullptr) return false;
  auto known = KnownOptions().find(key);
  return known != KnownOptions().end() && known->second.count(value) == 1;
}

// The last measurement in the colour space chosen by the options.
void TriStimulus(const client::Light& light, bool xyY, float out[3]) {
  if (xyY) {
    out[0] = static_cast<float>(light.x);
    out[1] = static_cast<float>(light.y);
    out[2] = static_cast<float>(light.Y);
    return;
  }
  double scale = light.y > 0 ? light.Y / light.y : 0;
  out[0] = static_cast<float>(light.x * scale);
  out[1] = static_cast<float>(light.Y);
  out[2] = static_cast<float>((1 - light.x - light.y) * scale);
}

// Reports an indexed read; the value of the last measurement when the bench lets it and there
// is one at index 0.
std::optional<client::Light> IndexedRead(const std::string& name, int32_t index, int32_t& result) {
  result = Report(name + " " + std::to_string(index));
  if (result != kNoError) return std::nullopt;
  std::lock_guard<std::mutex> lock(State().mutex);
  if (index != 0 || !State().last) {
    result = kFailed;
    return std::nullopt;
  }
  return State().last;
}

}  // namespace

// C linkage: each entry point is exported under its bare name, as the program looks it up.
#define EYEONE_ENTRY extern "C" __attribute__((visibility("default")))

EYEONE_ENTRY int32_t I1_IsConnected(void) {
  return Report("IsConnected");
}

// No key is ever pressed on the virtual device.
EYEONE_ENTRY int32_t I1_KeyPressed(void) {
  int32_t result = Report("KeyPressed");
  return result == kNoError ? kFailed : result;
}

EYEONE_ENTRY int32_t I1_GetNumberOfAvailableSamples(void) {
  if (Report("GetNumberOfAvailableSamples") != kNoError) return 0;
  std::lock_guard<std::mutex> lock(State().mutex);
  return State().last ? 1 : 0;
}

EYEONE_ENTRY int32_t I1_Calibrate(void) {
  return Report("Calibrate");
}

EYEONE_ENTRY int32_t I1_TriggerMeasurement(void) {
  int32_t result = Report("TriggerMeasurement");
  if (result != kNoError) return result;
  std::optional<client::Light> light = client::Measure();
  if (!light) return kFailed;
  std::lock_guard<std::mutex> lock(State().mutex);
  State().last = light;
  return kNoError;
}

// An emission spectrum is not modelled: a flat one at the measured luminance.
EYEONE_ENTRY int32_t I1_GetSpectrum(float spectrum[36], int32_t index) {
  int32_t result = kNoError;
  std::optional<client::Light> light = IndexedRead("GetSpectrum", index, result);
  if (!light || spectrum == nullptr) return light ? kFailed : result;
  for (int i = 0; i < kSpectrumSamples; ++i) spectrum[i] = static_cast<float>(light->Y);
  return kNoError;
}

EYEONE_ENTRY int32_t I1_GetTriStimulus(float triStimulus[3], int32_t index) {
  int32_t result = kNoError;
  std::optional<client::Light> light = IndexedRead("GetTriStimulus", index, result);
  if (!light || triStimulus == nullptr) return light ? kFailed : result;
  std::lock_guard<std::mutex> lock(State().mutex);
  auto space = State().options.find(kColorSpaceKey);
  bool xyY = space != State().options.end() && space->second == "CIExyY";
  TriStimulus(*light, xyY, triStimulus);
  return kNoError;
}

// Densities belong to reflectance measurements, which the virtual device does not make.
EYEONE_ENTRY int32_t I1_GetDensity(float* density, int32_t index) {
  int32_t result = Report("GetDensity " + std::to_string(index));
  (void)density;
  return result == kNoError ? kFailed : result;
}

EYEONE_ENTRY int32_t I1_GetDensities(float densities[4], int32_t* autoDensityIndex, int32_t index) {
  int32_t result = Report("GetDensities " + std::to_string(index));
  (void)densities;
  (void)autoDensityIndex;
  return result == kNoError ? kFailed : result;
}

EYEONE_ENTRY int32_t I1_SetSubstrate(float spectrum[36]) {
  (void)spectrum;
  return Report("SetSubstrate");
}

EYEONE_ENTRY int32_t I1_SetOption(const char* key, const char* value) {
  std::string call = std::string("SetOption:") + (key ? key : "") + "=" + (value ? value : "");
  int32_t result = Report(call);
  if (result != kNoError) return result;
  if (!Accepts(key, value)) return kFailed;
  std::lock_guard<std::mutex> lock(State().mutex);
  State().options[key] = value;
  return kNoError;
}

// The value set for `key`, or "" when none was; valid until the key is set again. Answers
// without the bench too: the options live in the library.
EYEONE_ENTRY const char* I1_GetOption(const char* key) {
  static const char kNone[] = "";
  if (key == nullptr) return kNone;
  Report(std::string("GetOption:") + key);
  std::lock_guard<std::mutex> lock(State().mutex);
  auto found = State().options.find(key);
  return found == State().options.end() ? kNone : found->second.c_str();
}

}  // namespace velluma::bench
