// CIE XYZ, chromaticity and CIELAB (CIE 15): the conversions every figure of a verification
// starts from.
#include <cmath>

#include "colour/Colour.h"

namespace velluma::colour {
namespace {

// CIELAB's compression of a ratio to the white: the cube root above (6/29)^3, and below it the
// straight line that meets the cube root with the same slope, so dark colours (and ratios below
// 0, which noise can give) stay finite and continuous.
double LabCompress(double ratio) {
  constexpr double kDelta = 6.0 / 29.0;
  constexpr double kKnee = kDelta * kDelta * kDelta;
  if (ratio > kKnee) return std::cbrt(ratio);
  return ratio / (3.0 * kDelta * kDelta) + 4.0 / 29.0;
}

}  // namespace

Xyz XyzFromXyY(double x, double y, double Y) {
  if (y == 0) return {};
  return {x * Y / y, Y, (1.0 - x - y) * Y / y};
}

Chromaticity ChromaticityOf(const Xyz& colour, Chromaticity whenBlack) {
  const double sum = colour.X + colour.Y + colour.Z;
  if (sum == 0) return whenBlack;
  return {colour.X / sum, colour.Y / sum};
}

Lab LabFromXyz(const Xyz& colour, const Xyz& white) {
  const double fx = LabCompress(colour.X / white.X);
  const double fy = LabCompress(colour.Y / white.Y);
  const double fz = LabCompress(colour.Z / white.Z);
  return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

}  // namespace velluma::colour
