#include "datamodel/MonitorFields.h"

#include <cmath>

namespace velluma {

namespace {
// The smallest magnitudes whose "%.4f" text needs 8 whole-number characters: 7 digits, or a
// minus and 6 digits (the text rounds to four decimals first).
constexpr double kFirstUnfitPositive = 9999999.99995;
constexpr double kFirstUnfitNegative = 999999.99995;
}  // namespace

bool FitsDecimalField(float value) {
  if (!std::isfinite(value)) return false;
  const double v = value;
  return std::signbit(v) ? -v < kFirstUnfitNegative : v < kFirstUnfitPositive;
}

bool FitsHexField(std::int32_t code) {
  return code >= 0 && code <= 0xFFF;
}

}  // namespace velluma
