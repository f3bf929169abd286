#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lut/MonitorLut.h"

namespace velluma {

// The largest code a direct table may hold: the monitor's LUT command carries each value in
// three hexadecimal digits.
inline constexpr std::int32_t kMaxDirectTableCode = 0xFFF;

// Loads a direct LUT table file (the monitor's codes themselves; format at the top of
// DirectTableMode.cpp) into `table`. Rows the file does not reach keep their values. Returns
// false, leaving `table` untouched, when the file is rejected (a value outside
// 0..kMaxDirectTableCode, a row without three integers, no row at all), with the reason in
// `*rejection` when given. Raises LUTFileError when the file cannot be opened or read.
bool DirectTableMode(const std::string& path, MonitorLutTable& table,
                     std::string* rejection = nullptr);

}  // namespace velluma
