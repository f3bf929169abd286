#pragma once

#include <array>
#include <string>

#include "datamodel/CalibrationData.h"
#include "datamodel/UserMemoryTables.h"

namespace velluma {

// What the program holds for the monitor for the whole run, and whether there is something to
// send: the calibration data (measured by AUTO or read from a file), and the LUT and film-gamma
// tables of the three user memories. The station owns it; its procedures are handed it.
struct HeldData {
  CalibrationData calibration;
  bool calibrationReady = false;  // PC -> MONITOR has a complete set to send
  UserMemoryTables tables;
  std::array<bool, UserMemoryTables::kMemories> lutLoaded{};
  std::array<bool, UserMemoryTables::kMemories> filmGammaLoaded{};
  // The files the data held came from ("" when it came from elsewhere), for the run history.
  std::string calibrationSource;
  std::array<std::string, UserMemoryTables::kMemories> lutSource{};
  std::array<std::string, UserMemoryTables::kMemories> filmGammaSource{};
};

}  // namespace velluma
