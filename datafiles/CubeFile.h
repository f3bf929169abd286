#pragma once

#include <string>
#include <string_view>

#include "datamodel/UserMemoryTables.h"

namespace velluma {

// A user memory's LUT as a DaVinci Resolve ".cube" file, for grading software and for loading
// into a memory again:
//
//   TITLE "Velluma correction"
//   LUT_3D_SIZE 16
//   0.000000 0.000000 0.000000      the 4096 grid points, red changing fastest, then green,
//   0.066471 0.000000 0.000000      then blue (the order of the monitor's own table), each
//   ...                             value the 10-bit code / 1023 with six decimals
//
// Six decimals put a value within 5e-7 of code / 1023, which the LUT conversion's rounding to
// the nearest code (1023 × value) takes back to the code itself: Velluma's own reader loads the
// file to the very table it was written from. Numbers are written in the C locale.
namespace cube_file {

// The file's text. A title holding a quote or a line end loses them.
std::string Text(const UserMemoryTables::LutTable& lut, std::string_view title);

// Replaces the file at `path` atomically; false, with the system's reason in `reason`, when it
// cannot be written (the file is then as it was).
bool Write(const std::string& path, const UserMemoryTables::LutTable& lut, std::string_view title,
           std::string& reason);

}  // namespace cube_file
}  // namespace velluma
