#pragma once

#include <cstdint>

namespace velluma {

// What the monitor's commands can carry, field by field.
//
// A "%07.4f" field: a value is written with four decimals in 7 characters; when the next field
// overwrites the rest of a longer text, only decimals are lost as long as the whole-number part,
// with its sign, fits in the 7 characters. 123.4567 fits (as 123.456), 9999999 and -999999 fit;
// 10000000 and -1000000 do not (they would arrive as another number), nor do NaN and infinities.
bool FitsDecimalField(float value);

// A "%03X" field: three hexadecimal digits, 0..4095.
bool FitsHexField(std::int32_t code);

}  // namespace velluma
