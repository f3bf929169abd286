#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "lut/LUTReader.h"
#include "lut/MonitorLut.h"

namespace velluma {

// The "LutFileType" text that selects the Baselight reader; any other text means DaVinci
// Resolve (the settings dialog stores "Davinci Resolve").
inline constexpr std::string_view kBaselightFileType = "Baselight";

// The reader for a "LutFileType" text.
std::unique_ptr<LUTReader> MakeLUTReader(std::string_view lutFileType);

// A LUT file as its caller opened it: the name the messages give it and its bytes, or the
// system's reason it could not be opened. The loader reads only what it is given.
struct LUTFileInput {
  std::string name;
  std::istream* bytes = nullptr;  // null when the file could not be opened
  std::string openFailure;        // why it could not, in the system's words
};

// What one LUT load did.
struct LUTLoadResult {
  int code = 0;         // 0 loaded, 1 rejected
  std::string message;  // the diagnosis line written, empty when none was
  std::string cause;    // what the diagnosis line does not say (the system's reason, the line
                        // at fault), empty when there is nothing to add
};

// The whole load of a LUT file into one user memory's table, as the LookUpTable tab loads it:
// - directTableMode (the "LUTFile" setting is not 0): the file holds the monitor's codes
//   themselves (DirectTableMode); nothing is reported unless a value is out of range;
// - otherwise the reader chosen by `lutFileType` reads the file, the DaVinci Resolve ranges are
//   checked against 0..1, the 1D table is resampled, the 3D table evaluated at the monitor's
//   grid and the codes stored.
// A file its caller could not open fails as a file the reader cannot read ("LUT file operation
// error.", with the system's reason as the cause). Of a cube only the points the conversion reads
// are held, so a large cube costs little memory.
// On failure one diagnosis line is written to `diagnosis` (then a line end and a flush), the
// result is 1 with that line, and `table` is left exactly as it was: a table is never
// half-loaded. On success every entry of `table` is replaced (in direct mode, the entries the
// file reaches). Raises LUTFileError when a direct table file cannot be opened or read.
LUTLoadResult LoadLUTFile(const LUTFileInput& file, std::string_view lutFileType,
                          bool directTableMode, MonitorLutTable& table, std::ostream& diagnosis);

}  // namespace velluma
