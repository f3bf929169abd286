// XYZ, CIELAB and CIEDE2000 against published answers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "colour/Colour.h"

namespace velluma::colour {
namespace {

TEST(ColourTest, BlackHasNoChromaticityOfItsOwn) {
  const Xyz black = XyzFromXyY(0.3, 0.0, 5.0);  // y = 0 is black, whatever Y says
  EXPECT_EQ(black.X + black.Y + black.Z, 0.0);
  const Chromaticity c = ChromaticityOf(black, {0.3127, 0.3290});
  EXPECT_EQ(c.x, 0.3127);
  EXPECT_EQ(c.y, 0.3290);
}

TEST(ColourTest, LightnessOnBothSidesOfTheLinearPart) {
  const Xyz white = XyzFromXyY(0.3127, 0.3290, 200.0);
  struct Case {
    double ratio;      // Y / Yn
    double lightness;  // CIE 15's L*: 116·∛ratio − 16 above (6/29)³, 24389/27·ratio below
  } cases[] = {{1.0, 100.0},      {0.18, 49.496107}, {0.0088565, 8.000044},
               {0.008, 7.226370}, {0.0, 0.0},        {-0.001, -0.903296}};
  for (const Case& c : cases) {
    const Lab lab = LabFromXyz(XyzFromXyY(0.3127, 0.3290, c.ratio * 200.0), white);
    EXPECT_NEAR(lab.lightness, c.lightness, 5e-6) << c.ratio;
    EXPECT_NEAR(lab.a, 0.0, 1e-12) << c.ratio;  // the white's own chromaticity is neutral
    EXPECT_NEAR(lab.b, 0.0, 1e-12) << c.ratio;
  }
}

// Sharma, Wu and Dalal (2005), table 1: every pair with its ΔE00 to 4 decimals. The pairs sit on
// the formula's branches: the G factor near neutral blue (1–6), hue angles that cross 0°/360°
// and mean hues the long way round (7–16), a* with a zero chroma, RT in the blue region, and
// pairs near black and near white.
TEST(ColourTest, Ciede2000GivesEveryPublishedTestPair) {
  struct Pair {
    Lab first, second;
    double deltaE;
  } pairs[] = {
      {{50.0000, 2.6772, -79.7751}, {50.0000, 0.0000, -82.7485}, 2.0425},
      {{50.0000, 3.1571, -77.2803}, {50.0000, 0.0000, -82.7485}, 2.8615},
      {{50.0000, 2.8361, -74.0200}, {50.0000, 0.0000, -82.7485}, 3.4412},
      {{50.0000, -1.3802, -84.2814}, {50.0000, 0.0000, -82.7485}, 1.0000},
      {{50.0000, -1.1848, -84.8006}, {50.0000, 0.0000, -82.7485}, 1.0000},
      {{50.0000, -0.9009, -85.5211}, {50.0000, 0.0000, -82.7485}, 1.0000},
      {{50.0000, 0.0000, 0.0000}, {50.0000, -1.0000, 2.0000}, 2.3669},
      {{50.0000, -1.0000, 2.0000}, {50.0000, 0.0000, 0.0000}, 2.3669},
      {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0009}, 7.1792},
      {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0010}, 7.1792},
      {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0011}, 7.2195},
      {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0012}, 7.2195},
      {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0009, -2.4900}, 4.8045},
      {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0010, -2.4900}, 4.8045},
      {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0011, -2.4900}, 4.7461},
      {{50.0000, 2.5000, 0.0000}, {50.0000, 0.0000, -2.5000}, 4.3065},
      {{50.0000, 2.5000, 0.0000}, {73.0000, 25.0000, -18.0000}, 27.1492},
      {{50.0000, 2.5000, 0.0000}, {61.0000, -5.0000, 29.0000}, 22.8977},
      {{50.0000, 2.5000, 0.0000}, {56.0000, -27.0000, -3.0000}, 31.9030},
      {{50.0000, 2.5000, 0.0000}, {58.0000, 24.0000, 15.0000}, 19.4535},
      {{50.0000, 2.5000, 0.0000}, {50.0000, 3.1736, 0.5854}, 1.0000},
      {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2972, 0.0000}, 1.0000},
      {{50.0000, 2.5000, 0.0000}, {50.0000, 1.8634, 0.5757}, 1.0000},
      {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2592, 0.3350}, 1.0000},
      {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
      {{63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}, 1.2630},
      {{61.2901, 3.7196, -5.3901}, {61.4292, 2.2480, -4.9620}, 1.8731},
      {{35.0831, -44.1164, 3.7933}, {35.0232, -40.0716, 1.5901}, 1.8645},
      {{22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}, 2.0373},
      {{36.4612, 47.8580, 18.3852}, {36.2715, 50.5065, 21.2231}, 1.4146},
      {{90.8027, -2.0831, 1.4410}, {91.1528, -1.6435, 0.0447}, 1.4441},
      {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
      {{6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}, 0.6377},
      {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
  };
  int number = 0;
  for (const Pair& p : pairs) {
    ++number;
    // Rounded to 4 decimals, as published; and the same either way round.
    EXPECT_EQ(std::round(DeltaE2000(p.first, p.second) * 1e4) / 1e4, p.deltaE) << "pair " << number;
    EXPECT_EQ(std::round(DeltaE2000(p.second, p.first) * 1e4) / 1e4, p.deltaE) << "pair " << number;
  }
  EXPECT_EQ(number, 34);
}

TEST(ColourTest, Ciede2000EdgesOnPurpose) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(DeltaE2000({50, 10, -20}, {50, 10, -20}), 0.0);
  EXPECT_EQ(DeltaE2000({0, 0, 0}, {0, 0, 0}), 0.0);
  // A negative zero a* is still a colour without hue: no 180° hue from atan2(0, -0).
  EXPECT_EQ(DeltaE2000({50, -0.0, 0.0}, {50, 0.0, -0.0}), 0.0);
  // Lightness alone at L̄' = 50: SL is 1, so ΔE is ΔL.
  EXPECT_NEAR(DeltaE2000({45, 0, 0}, {55, 0, 0}), 10.0, 1e-12);
  EXPECT_TRUE(std::isnan(DeltaE2000({kNaN, 0, 0}, {50, 0, 0})));
  EXPECT_TRUE(std::isnan(DeltaE2000({50, 0, 0}, {50, kNaN, 1})));
}

}  // namespace
}  // namespace velluma::colour
