// Correlated colour temperature and Δuv against a Planckian locus the test computes itself:
// points moved off the locus along its normal by a known Δuv must give back their temperature
// and Δuv. The largest errors found are printed.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>

#include "colour/Cie1931Observer.h"
#include "colour/Colour.h"

namespace velluma::colour {
namespace {

struct Uv {
  double u, v;
};

// The locus point of a blackbody at T: Planck's law summed over the observer at 5 nm, then
// CIE 1960 u = 4X / (X + 15Y + 3Z), v = 6Y / (X + 15Y + 3Z).
Uv BlackbodyUv(double kelvin) {
  double X = 0, Y = 0, Z = 0;
  for (int i = 0; i < kObserverCount; ++i) {
    const double nm = kObserverFirstNm + kObserverStepNm * i;
    const double spectral = std::pow(nm, -5) / std::expm1(1.4388e7 / (nm * kelvin));
    X += spectral * kCie1931Observer[i].x;
    Y += spectral * kCie1931Observer[i].y;
    Z += spectral * kCie1931Observer[i].z;
  }
  const double d = X + 15 * Y + 3 * Z;
  return {4 * X / d, 6 * Y / d};
}

Chromaticity XyFromUv(Uv p) {
  const double d = 2 * p.u - 8 * p.v + 4;
  return {3 * p.u / d, 2 * p.v / d};
}

// The point Δuv away from the locus at T, along the normal towards higher v; the tangent by a
// central difference.
Chromaticity OffTheLocus(double kelvin, double duv) {
  const double h = kelvin * 1e-5;
  const Uv before = BlackbodyUv(kelvin - h), after = BlackbodyUv(kelvin + h);
  const double tu = after.u - before.u, tv = after.v - before.v;
  const double length = std::hypot(tu, tv);
  const Uv on = BlackbodyUv(kelvin);
  return XyFromUv({on.u + duv * tv / length, on.v - duv * tu / length});
}

TEST(ColourTemperatureTest, PointsOffTheLocusGiveBackTheirTemperatureAndDuv) {
  double largestKelvin = 0, largestRelative = 0, largestDuv = 0;
  for (double kelvin = 2000; kelvin <= 20000; kelvin *= 1.0137) {
    for (double duv : {-0.02, -0.005, -0.001, 0.0, 0.001, 0.005, 0.02}) {
      const ColourTemperature found = CorrelatedColourTemperature(OffTheLocus(kelvin, duv));
      largestKelvin = std::max(largestKelvin, std::abs(found.kelvin - kelvin));
      largestRelative = std::max(largestRelative, std::abs(found.kelvin - kelvin) / kelvin);
      largestDuv = std::max(largestDuv, std::abs(found.duv - duv));
    }
  }
  std::cout << "[ largest error ] CCT over 2000-20000 K, |duv| <= 0.02: " << largestKelvin << " K ("
            << largestRelative << " of T), duv " << largestDuv << "\n";
  EXPECT_LT(largestKelvin, 0.01);
  EXPECT_LT(largestDuv, 1e-7);
}

TEST(ColourTemperatureTest, StandardIlluminants) {
  struct Case {
    const char* name;
    Chromaticity white;
    double kelvin, kelvinTolerance, duv, duvTolerance;
  } cases[] = {
      // 6500 K on the scale of c2 = 1.438e-2 m·K, 6504 K on today's; above the locus.
      {"D65", {0.3127, 0.3290}, 6504, 0.5, 0.0032, 0.0001},
      {"D65 to 5 decimals", {0.31271, 0.32902}, 6500 * 1.4388 / 1.438, 0.1, 0.0032, 0.0001},
      // A blackbody of 2848 K on the scale of c2 = 1.435e-2 m·K: on the locus.
      {"A", {0.44757, 0.40745}, 2856, 0.5, 0.0, 0.0001},
  };
  for (const Case& c : cases) {
    const ColourTemperature t = CorrelatedColourTemperature(c.white);
    EXPECT_NEAR(t.kelvin, c.kelvin, c.kelvinTolerance) << c.name;
    EXPECT_NEAR(t.duv, c.duv, c.duvTolerance) << c.name;
  }
}

TEST(ColourTemperatureTest, NoTemperatureWhereThereIsNone) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const Chromaticity cases[] = {
      {kNaN, 0.33},                // not a number
      {0.3, kNaN},  {0.0, -0.25},  // u and v have no denominator
      {0.70, 0.29},  // a deep red: its nearest blackbody is colder than the table goes
      {0.17, 0.01},  // a deep violet: nearest the hot end of the locus
  };
  for (const Chromaticity& c : cases) {
    const ColourTemperature t = CorrelatedColourTemperature(c);
    EXPECT_TRUE(std::isnan(t.kelvin)) << c.x << "," << c.y << ": " << t.kelvin;
    EXPECT_TRUE(std::isnan(t.duv)) << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace velluma::colour
