#pragma once

#include <cstdint>
#include <string>

#include "platform/SharedLibrary.h"

namespace velluma {

// The i1-Pro driver (kind 3), through the vendor's EyeOne library loaded at run time from its
// fixed path ($VELLUMA_EYEONE, by default /usr/local/lib/EyeOne.so, or EyeOne.dll on Windows).
// Library results count by their low 8 bits: 0 success, anything else failure.
class EyeOneAnalyzer {
 public:
  static constexpr int kNotLoaded = 9;

  static std::string LibraryPath();

  // Touches nothing: the port and speed are not used by the i1-Pro.
  EyeOneAnalyzer(int kind, const std::string& port, int speed);
  ~EyeOneAnalyzer();
  EyeOneAnalyzer(const EyeOneAnalyzer&) = delete;
  EyeOneAnalyzer& operator=(const EyeOneAnalyzer&) = delete;

  // 0 when the library is loaded (now or before), 9 when it cannot be: missing, or lacking any
  // of the twelve entry points (a missing entry point is never called).
  int LoadEyeOne();
  int IsConnected();
  int Calibrate();
  int TriggerMeasurement();
  int GetTriStimulus(float triStimulus[3], int index);
  int SetOption(const std::string& key, const std::string& value);

  int Kind() const { return kind_; }
  bool Loaded() const { return library_.IsLoaded(); }

 private:
  using Call = std::int32_t (*)();
  using TriStimulusCall = std::int32_t (*)(float*, std::int32_t);
  using OptionCall = std::int32_t (*)(const char*, const char*);

  bool ResolveEntryPoints();
  // Before the library is loaded every call fails as the library would without a device.
  static constexpr int kNoLibrary = 0xFF;

  int kind_;
  SharedLibrary library_;
  Call isConnected_ = nullptr;
  Call calibrate_ = nullptr;
  Call triggerMeasurement_ = nullptr;
  TriStimulusCall getTriStimulus_ = nullptr;
  OptionCall setOption_ = nullptr;
};

}  // namespace velluma
