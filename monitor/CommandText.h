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

// Whether a value can travel in a "%07.4f" field: finite, with its whole-number part inside the
// field's 7 characters (when the next field overwrites the rest of a longer text, only decimals
// are lost). 123.4567 fits as 123.456; 10000000 and -1000000 do not, nor do NaN and infinities.
bool FitsDecimalField(float value);
// Whether a code fits a "%03X" field: 0..4095.
bool FitsHexField(std::int32_t code);

// "OUT%02X%02X%02X" followed by the sum of its six digit characters modulo 256 as "%02X".
std::string ShowPatternText(int r, int g, int b);

}  // namespace velluma::command_text
