#include "lut/LUTKernels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "lut/GridTable.h"
#include "lut/MonitorLut.h"

namespace velluma {
namespace {

// The two weight factors of one axis, indexed by the corner's offset: the lower corner (0) is
// weighed by the distance to the upper position, the upper corner (1) by the distance to the
// lower one.
std::array<double, 2> AxisWeights(std::span<const double> p, const AxisCell& at) {
  return {p[at.cell + 1] - at.u, at.u - p[at.cell]};
}

}  // namespace

AxisCell LocateOnAxis(std::span<const double> p, double u) {
  const std::size_t last = p.size() - 1;
  if (!(u > p[0])) return {0, p[0]};
  if (u > p[last]) return {last - 1, p[last]};
  const auto above = std::upper_bound(p.begin(), p.end(), u);
  if (above == p.end()) return {last - 1, u};
  return {static_cast<std::size_t>(above - p.begin()) - 1, u};
}

std::vector<double> UnitPositions(std::size_t n) {
  const double step = 1.0 / static_cast<double>(n - 1);
  std::vector<double> positions(n);
  for (std::size_t i = 0; i < n; ++i) positions[i] = static_cast<double>(i) * step;
  return positions;
}

double InterpolateCurves(std::span<const double> x, std::span<const double> y, double t) {
  const std::size_t last = x.size() - 1;
  if (t < x[0] || t > x[last]) return y[0] + (y[last] - y[0]) / (x[last] - x[0]) * (t - x[0]);
  std::size_t i = 0;
  while (i + 1 < last && (x[i] > t || x[i + 1] < t)) ++i;
  return y[i] + (y[i + 1] - y[i]) / (x[i + 1] - x[i]) * (t - x[i]);
}

RgbTriple InterpolateTrilinear(const GridTable& grid, const RgbTriple& point) {
  const auto p = grid.Positions();
  const AxisCell red = LocateOnAxis(p, point.r);
  const AxisCell green = LocateOnAxis(p, point.g);
  const AxisCell blue = LocateOnAxis(p, point.b);
  const auto wr = AxisWeights(p, red);
  const auto wg = AxisWeights(p, green);
  const auto wb = AxisWeights(p, blue);

  RgbTriple sum{0.0, 0.0, 0.0};
  double weightSum = 0.0;
  for (std::size_t a = 0; a < 2; ++a) {
    for (std::size_t b = 0; b < 2; ++b) {
      for (std::size_t c = 0; c < 2; ++c) {
        const double w = wr[a] * wg[b] * wb[c];
        const RgbTriple corner = grid.At(red.cell + a, green.cell + b, blue.cell + c);
        sum.r += corner.r * w;
        sum.g += corner.g * w;
        sum.b += corner.b * w;
        weightSum += w;
      }
    }
  }
  return {sum.r / weightSum, sum.g / weightSum, sum.b / weightSum};
}

double Clamp01(double v) {
  if (!(v >= 0.0)) return 0.0;
  if (v > 1.0) return 1.0;
  return v;
}

std::int32_t ToMonitorCode(double v) {
  const double code = v * kMonitorCodeMax + 0.5;
  if (std::isnan(code)) return 0;
  constexpr auto kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr auto kHighest = std::numeric_limits<std::int32_t>::max();
  if (code <= static_cast<double>(kLowest)) return kLowest;
  if (code >= static_cast<double>(kHighest)) return kHighest;
  return static_cast<std::int32_t>(code);
}

}  // namespace velluma
