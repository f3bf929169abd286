#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "lut/MonitorLut.h"

namespace velluma {

// The largest code a direct table may hold: the monitor's LUT command carries each value in
// three hexadecimal digits.
inline constexpr std::int32_t kMaxDirectTableCode = 0xFFF;

// Loads a direct LUT table file (the monitor's codes themselves; format at the top of
// DirectTableMode.cpp), whose bytes `in` gives, into `table`. Rows the file does not reach keep
// their values. Returns false, leaving `table` untouched, when the file is rejected (a value
// outside 0..kMaxDirectTableCode, a row without three integers, no row at all), with the reason
// in `*rejection` when given. Raises LUTFileError, naming the file `name`, when the stream
// fails before the end of the file.
bool DirectTableMode(std::istream& in, const std::string& name, MonitorLutTable& table,
                     std::string* rejection = nullptr);

}  // namespace velluma
