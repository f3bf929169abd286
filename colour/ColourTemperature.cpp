// Correlated colour temperature and Δuv (CIE 15): the temperature of the Planckian radiator
// whose chromaticity lies nearest in the CIE 1960 uv diagram, and the signed distance to it.
//
// The Planckian locus is computed from Planck's law and the CIE 1931 observer (5 nm, 360–830
// nm, c2 = 1.4388e-2 m·K), never approximated by a fitted curve. A table of it at 1 % steps of
// temperature, made once, finds the nearest tabulated point; the nearest point of the locus
// itself is then where the line from the chromaticity meets the locus at a right angle, found by
// bisection between the neighbouring table temperatures on the exact locus and its derivative.
// The answer is limited by the bisection's tolerance (far below 0.001 K), not by the table.
#include <cmath>
#include <limits>
#include <vector>

#include "colour/Cie1931Observer.h"
#include "colour/Colour.h"

namespace velluma::colour {
namespace {

constexpr double kSecondRadiationConstant = 1.4388e-2;  // c2, m·K
constexpr double kLowestKelvin = 1000.0;                // the table's ends: a chromaticity
constexpr double kHighestKelvin = 100000.0;             // nearest beyond them has no CCT here
constexpr double kTableStep = 1.01;                     // each entry 1 % hotter than the last
constexpr int kBisections = 60;                         // halves the 1 % step below 1e-15

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A point of the Planckian locus in uv, with its derivative by temperature.
struct LocusPoint {
  double kelvin;
  double u, v;
  double du, dv;  // per kelvin
};

// Planck's law by wavelength, weighed by the observer and summed, gives XYZ at temperature T;
// the derivative of the law by T gives the tangent of the locus. The radiation constant c1 and
// the wavelength step cancel in u and v.
LocusPoint PlanckianLocusAt(double kelvin) {
  double X = 0, Y = 0, Z = 0, dX = 0, dY = 0, dZ = 0;
  for (int i = 0; i < kObserverCount; ++i) {
    const double metres = (kObserverFirstNm + i * kObserverStepNm) * 1e-9;
    const double exponent = kSecondRadiationConstant / (metres * kelvin);
    const double e = std::exp(exponent);
    const double radiance = 1.0 / (std::pow(metres, 5) * (e - 1.0));
    const double dRadiance = radiance * e / (e - 1.0) * exponent / kelvin;
    const ColourMatching& m = kCie1931Observer[i];
    X += radiance * m.x, Y += radiance * m.y, Z += radiance * m.z;
    dX += dRadiance * m.x, dY += dRadiance * m.y, dZ += dRadiance * m.z;
  }
  const double d = X + 15.0 * Y + 3.0 * Z;
  const double dd = dX + 15.0 * dY + 3.0 * dZ;
  return {kelvin, 4.0 * X / d, 6.0 * Y / d, 4.0 * (dX * d - X * dd) / (d * d),
          6.0 * (dY * d - Y * dd) / (d * d)};
}

const std::vector<LocusPoint>& LocusTable() {
  static const std::vector<LocusPoint> kTable = [] {
    std::vector<LocusPoint> points;
    for (double t = kLowestKelvin; t < kHighestKelvin * kTableStep; t *= kTableStep)
      points.push_back(PlanckianLocusAt(t));
    return points;
  }();
  return kTable;
}

struct Uv {
  double u, v;
};

// CIE 1960 uv of an xy chromaticity.
Uv UvFromXy(Chromaticity c) {
  const double d = -2.0 * c.x + 12.0 * c.y + 3.0;
  return {4.0 * c.x / d, 6.0 * c.y / d};
}

// Half the derivative of the squared distance from `p` to the locus, with its sign turned:
// positive while the locus still approaches p as T rises, 0 at the nearest point.
double Approach(const Uv& p, const LocusPoint& at) {
  return (p.u - at.u) * at.du + (p.v - at.v) * at.dv;
}

// The index of the table entry nearest to p.
std::size_t NearestEntry(const std::vector<LocusPoint>& table, const Uv& p) {
  std::size_t nearest = 0;
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const double du = p.u - table[i].u, dv = p.v - table[i].v;
    const double d2 = du * du + dv * dv;
    if (d2 < best) best = d2, nearest = i;
  }
  return nearest;
}

// Bisection between two temperatures that bracket the nearest point.
LocusPoint NearestBetween(const Uv& p, double cooler, double hotter) {
  LocusPoint mid = PlanckianLocusAt(cooler);
  for (int i = 0; i < kBisections; ++i) {
    mid = PlanckianLocusAt((cooler + hotter) / 2.0);
    (Approach(p, mid) > 0 ? cooler : hotter) = mid.kelvin;
  }
  return mid;
}

// Δuv: the distance along the locus's normal that points to higher v (towards green).
double SignedDistance(const Uv& p, const LocusPoint& at) {
  const double length = std::hypot(at.du, at.dv);
  return ((p.u - at.u) * at.dv - (p.v - at.v) * at.du) / length;
}

}  // namespace

ColourTemperature CorrelatedColourTemperature(Chromaticity white) {
  const Uv p = UvFromXy(white);
  if (!std::isfinite(p.u) || !std::isfinite(p.v)) return {kNaN, kNaN};
  const std::vector<LocusPoint>& table = LocusTable();
  const std::size_t i = NearestEntry(table, p);
  if (i == 0 || i + 1 == table.size()) return {kNaN, kNaN};
  const bool hotterSide = Approach(p, table[i]) > 0;
  const LocusPoint nearest = hotterSide ? NearestBetween(p, table[i].kelvin, table[i + 1].kelvin)
                                        : NearestBetween(p, table[i - 1].kelvin, table[i].kelvin);
  return {nearest.kelvin, SignedDistance(p, nearest)};
}

}  // namespace velluma::colour
