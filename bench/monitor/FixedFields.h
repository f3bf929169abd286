#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// Runs of fixed-stride number fields, as the monitor's write commands carry them.
namespace velluma::bench::fields {

// `count` decimal fields of 7 characters ("%07.4f"). Every field but the last is exactly 7
// characters; the last holds 7 to 16, since the program writes the last value's whole text
// (a luminance of 100 or more takes 8). A field is an optional minus sign, digits and at most
// one point; anything else (spaces, "nan", "inf", a second point) refuses the whole run.
std::optional<std::vector<double>> ParseDecimalRun(std::string_view data, size_t count);

// Exactly `count` fields of three upper-case hexadecimal digits ("%03X"), no more, no less.
std::optional<std::vector<int>> ParseHexRun(std::string_view data, size_t count);

}  // namespace velluma::bench::fields
