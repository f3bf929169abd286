#pragma once

#include <cstdint>
#include <string>

namespace velluma {

// The text-to-number conversions behind the operator's typed values, in the C locale.
//
// StrToFloat: optional blanks, an optional sign, digits with an optional decimal point and an
// optional exponent ("1.5", ".5", "2e3"), optional blanks; nothing else (no hexadecimal, no
// "inf" or "nan"). Otherwise ConvertError "'%s' is not a valid floating point value".
double StrToFloat(const std::string& text);

// StrToInt: optional blanks, an optional sign, decimal digits or '$' and hexadecimal digits, in
// the 32-bit range. Otherwise ConvertError "'%s' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);

}  // namespace velluma
