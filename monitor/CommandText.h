#pragma once

// Texts of the monitor's commands, as pure functions.

#include <cstdint>
#include <span>
#include <string>

namespace velluma::command_text {

// Runs of values at a fixed stride after a header: "%07.4f" in 7 characters, "%03X" in 3.
// A value whose text is longer than the stride keeps only its first characters when another
// value follows (the next value is written over the rest); the last value keeps its whole text.
std::string DecimalFields(std::span<const float> values);
std::string HexFields(std::span<const std::int32_t> values);

// "OUT%02X%02X%02X" followed by the sum of its six digit characters modulo 256 as "%02X".
std::string ShowPatternText(int r, int g, int b);

}  // namespace velluma::command_text
