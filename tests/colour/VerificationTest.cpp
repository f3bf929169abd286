// The evaluation of a run: an ideal display, whose readings the test works out from the
// standards' numbers, passes with ΔE ≈ 0; a display with a grey tint fails with the ΔE the test
// works out in closed form; the white, the black and the verdicts follow their rules.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "colour/Verification.h"

namespace velluma::colour {
namespace {

constexpr double kWhiteY = 120.0;  // cd/m²
constexpr Chromaticity kWhite{0.3127, 0.3290};

// The grey ramp of the run: 21 steps from 0 to 255.
std::vector<int> RampDrives() {
  std::vector<int> drives;
  for (int i = 0; i <= 20; ++i) drives.push_back(i * 255 / 20);
  return drives;
}

PatchReading Grey(int drive, Chromaticity c, double Y) {
  return {"grey " + std::to_string(drive), drive, drive, drive, c.x, c.y, Y};
}

// An ideal Rec.709 display with a 2.2 power curve and no black: greys at the D65 white, and
// full-level primaries and secondaries from the primaries' chromaticities and their luminances
// in the BT.709 matrix (0.212639, 0.715169, 0.072192), added in XYZ.
std::vector<PatchReading> IdealDisplay() {
  std::vector<PatchReading> readings;
  for (int drive : RampDrives())
    readings.push_back(Grey(drive, kWhite, kWhiteY * std::pow(drive / 255.0, 2.2)));
  struct Primary {
    double x, y, Y;
  } red{0.64, 0.33, 0.212639}, green{0.30, 0.60, 0.715169}, blue{0.15, 0.06, 0.072192};
  const auto mix = [](const char* name, int r, int g, int b, std::vector<Primary> primaries) {
    double X = 0, Y = 0, Z = 0;
    for (const Primary& p : primaries) {
      X += p.x / p.y * p.Y, Y += p.Y, Z += (1 - p.x - p.y) / p.y * p.Y;
    }
    return PatchReading{name, r, g, b, X / (X + Y + Z), Y / (X + Y + Z), kWhiteY * Y};
  };
  readings.push_back(mix("red", 255, 0, 0, {red}));
  readings.push_back(mix("green", 0, 255, 0, {green}));
  readings.push_back(mix("blue", 0, 0, 255, {blue}));
  readings.push_back(mix("cyan", 0, 255, 255, {green, blue}));
  readings.push_back(mix("magenta", 255, 0, 255, {red, blue}));
  readings.push_back(mix("yellow", 255, 255, 0, {red, green}));
  return readings;
}

TEST(VerificationTest, AnIdealDisplayPassesWithNoDifference) {
  const std::vector<PatchReading> readings = IdealDisplay();
  const VerificationFigures f = Evaluate(readings, Target{}, Thresholds{});
  ASSERT_EQ(f.patches.size(), readings.size());
  for (const PatchFigures& p : f.patches) {
    EXPECT_LT(p.deltaE, 1e-3) << p.reading.name;
    EXPECT_TRUE(p.passes) << p.reading.name;
    if (p.reading.IsGrey() && p.reading.r > 0 && p.reading.r < 255) {
      ASSERT_TRUE(p.gamma.has_value()) << p.reading.name;
      EXPECT_NEAR(*p.gamma, 2.2, 1e-9) << p.reading.name;
    } else {
      EXPECT_FALSE(p.gamma.has_value()) << p.reading.name;
    }
  }
  EXPECT_TRUE(f.Passes());
  EXPECT_EQ(f.greys.count, 21);
  EXPECT_EQ(f.colours.count, 6);
  EXPECT_EQ(f.whiteY, kWhiteY);
  EXPECT_EQ(f.blackY, 0.0);
  EXPECT_EQ(f.contrast, 0.0);  // no black luminance: no ratio
  EXPECT_NEAR(f.whiteTemperature.kelvin, 6504, 1);
  // The white itself is exactly (100, 0, 0).
  EXPECT_NEAR(f.patches[20].lab.lightness, 100, 1e-12);
  EXPECT_NEAR(f.patches[20].lab.a, 0, 1e-12);
  EXPECT_NEAR(f.patches[20].lab.b, 0, 1e-12);
}

TEST(VerificationTest, IdealGreysOfABt1886DisplayWithABlackLevel) {
  constexpr double kBlackY = 0.12;
  const double w = std::pow(kWhiteY, 1 / 2.4), b = std::pow(kBlackY, 1 / 2.4);
  std::vector<PatchReading> readings;
  for (int drive : RampDrives())
    readings.push_back(Grey(drive, kWhite, std::pow(drive / 255.0 * (w - b) + b, 2.4)));
  const VerificationFigures f =
      Evaluate(readings, Target{kWhite, ToneCurve::Bt1886, &kRec709}, Thresholds{});
  for (const PatchFigures& p : f.patches) EXPECT_LT(p.deltaE, 1e-9) << p.reading.name;
  EXPECT_TRUE(f.Passes());
  EXPECT_NEAR(f.contrast, kWhiteY / kBlackY, 1e-9);
}

// A grey ramp at the right luminance but tinted: the target grey is (L*, 0, 0) and the reading
// has the same L*, so ΔL' and ΔH' are 0 and CIEDE2000 comes down to ΔC'/SC with the target's
// C' = 0: ΔE = C' / (1 + 0.045·C'/2), where C' is the reading's chroma with a* stretched by
// 1 + G, G = 0.5·(1 − sqrt(C̄^7 / (C̄^7 + 25^7))), C̄ = C*/2.
double TintedGreyDeltaE(Chromaticity tint, double Y) {
  const auto f = [](double t) {
    return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16) / 116;
  };
  const double X = tint.x / tint.y * Y, Z = (1 - tint.x - tint.y) / tint.y * Y;
  const double whiteX = kWhite.x / kWhite.y * kWhiteY,
               whiteZ = (1 - kWhite.x - kWhite.y) / kWhite.y * kWhiteY;
  const double a = 500 * (f(X / whiteX) - f(Y / kWhiteY)),
               b = 200 * (f(Y / kWhiteY) - f(Z / whiteZ));
  const double mean7 = std::pow(std::hypot(a, b) / 2, 7);
  const double g = 0.5 * (1 - std::sqrt(mean7 / (mean7 + std::pow(25.0, 7))));
  const double chroma = std::hypot((1 + g) * a, b);
  return chroma / (1 + 0.045 * chroma / 2);
}

TEST(VerificationTest, ATintedGreyRampFailsByTheDifferenceItsTintMakes) {
  const Chromaticity tint{0.3190, 0.3250};  // towards magenta
  std::vector<PatchReading> readings;
  for (int drive : RampDrives())
    readings.push_back(Grey(drive, tint, kWhiteY * std::pow(drive / 255.0, 2.2)));
  const VerificationFigures f = Evaluate(readings, Target{}, Thresholds{});
  double sum = 0, largest = 0;
  int failing = 0;
  for (const PatchFigures& p : f.patches) {
    const double expected = TintedGreyDeltaE(tint, p.reading.Y);
    EXPECT_NEAR(p.deltaE, expected, 1e-9) << p.reading.name;
    EXPECT_EQ(p.passes, expected <= 2.0) << p.reading.name;
    sum += expected, largest = std::max(largest, expected), failing += expected > 2.0;
  }
  EXPECT_NEAR(f.greys.average, sum / 21, 1e-9);
  EXPECT_NEAR(f.greys.maximum, largest, 1e-9);
  EXPECT_GT(largest, 4.0);  // the tint is plain to see at the top of the ramp
  EXPECT_GT(failing, 10);
  EXPECT_FALSE(f.greys.passes);
  EXPECT_TRUE(f.colours.passes);  // no colours measured: nothing fails
  EXPECT_EQ(f.colours.count, 0);
  EXPECT_FALSE(f.Passes());
  EXPECT_GT(f.whiteTemperature.duv, -0.01);
  EXPECT_LT(f.whiteTemperature.duv, 0.0);  // below the locus: the magenta side
}

TEST(VerificationTest, WhiteAndBlackWithoutTheirOwnPatches) {
  // A run stopped half-way up the ramp: the brightest grey stands for the white, the darkest for
  // the black, and the first 255 or 0 patch wins over any brighter or darker grey.
  std::vector<PatchReading> readings = {Grey(64, kWhite, 12.0), Grey(10, kWhite, 0.4),
                                        Grey(128, kWhite, 30.0), Grey(32, kWhite, 3.0)};
  VerificationFigures f = Evaluate(readings, Target{}, Thresholds{});
  EXPECT_EQ(f.whiteY, 30.0);
  EXPECT_EQ(f.blackY, 0.4);
  EXPECT_EQ(f.contrast, 75.0);
  readings.push_back(Grey(255, kWhite, 25.0));
  readings.push_back(Grey(0, kWhite, 0.5));
  readings.push_back(Grey(255, kWhite, 26.0));
  f = Evaluate(readings, Target{}, Thresholds{});
  EXPECT_EQ(f.whiteY, 25.0);
  EXPECT_EQ(f.blackY, 0.5);
  EXPECT_EQ(f.contrast, 50.0);
}

TEST(VerificationTest, VerdictsAndWhatCannotBeCompared) {
  // Average and maximum each have their threshold.
  Thresholds strictAverage;
  strictAverage.greyAverage = 0.0001;
  const VerificationFigures tinted = Evaluate(
      {Grey(255, {0.3140, 0.3300}, kWhiteY), Grey(128, kWhite, 26.0)}, Target{}, strictAverage);
  EXPECT_LT(tinted.greys.maximum, 2.0);
  EXPECT_FALSE(tinted.greys.passes);
  EXPECT_TRUE(tinted.patches[0].passes);  // each patch meets the maximum alone

  // A reading that is not a number, and a white of no luminance, cannot be compared: they fail.
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const VerificationFigures broken = Evaluate(
      {Grey(255, kWhite, kWhiteY), {"red", 255, 0, 0, kNaN, 0.33, 20.0}}, Target{}, Thresholds{});
  EXPECT_FALSE(broken.patches[1].passes);
  EXPECT_FALSE(broken.colours.passes);
  EXPECT_TRUE(broken.greys.passes);
  const VerificationFigures dark =
      Evaluate({Grey(255, kWhite, 0.0), Grey(0, kWhite, 0.0)}, Target{}, Thresholds{});
  EXPECT_TRUE(std::isnan(dark.patches[0].deltaE));
  EXPECT_FALSE(dark.greys.passes);

  const VerificationFigures empty = Evaluate({}, Target{}, Thresholds{});
  EXPECT_FALSE(empty.Passes()) << "nothing measured is no pass";
  EXPECT_EQ(empty.greys.count + empty.colours.count, 0);
}

// A run stopped part of the way: a kind has figures from its first patch on, but a verdict only
// once every patch of it was measured, and the run passes only when both kinds were.
TEST(VerificationTest, AKindHasAVerdictOnlyWhenItWasMeasuredInFull) {
  const std::vector<PatchReading> plan = IdealDisplay();  // 21 greys, then 6 colours
  const struct {
    std::size_t measured;
    int greys, colours;  // counted
    bool greysJudged, coloursJudged;
  } stops[] = {
      {0, 0, 0, false, false},  {1, 1, 0, false, false},  {20, 20, 0, false, false},
      {21, 21, 0, true, false}, {24, 21, 3, true, false}, {27, 21, 6, true, true},
  };
  for (const auto& stop : stops) {
    SCOPED_TRACE(stop.measured);
    const std::vector<PatchReading> readings(plan.begin(), plan.begin() + stop.measured);
    const VerificationFigures f = Evaluate(readings, plan, Target{}, Thresholds{});
    EXPECT_EQ(f.greys.count, stop.greys);
    EXPECT_EQ(f.colours.count, stop.colours);
    EXPECT_EQ(f.greys.planned, 21);
    EXPECT_EQ(f.colours.planned, 6);
    EXPECT_EQ(f.greys.Complete(), stop.greysJudged);
    EXPECT_EQ(f.colours.Complete(), stop.coloursJudged);
    // The ideal display meets every threshold: a kind passes exactly when it is complete.
    EXPECT_EQ(f.greys.passes, stop.greysJudged);
    EXPECT_EQ(f.colours.passes, stop.coloursJudged);
    EXPECT_EQ(f.Passes(), stop.greysJudged && stop.coloursJudged);
    EXPECT_EQ(f.colours.Measured(), stop.colours > 0);
  }
}

// A colour the display cannot reach keeps its ΔE2000 but is left out of its kind's figures and
// verdict, planned or measured: a red far off the target fails the colours until it is marked,
// and the run passes once it is, with every other colour measured.
TEST(VerificationTest, AColourOutOfReachIsReportedApartAndJudgesNothing) {
  std::vector<PatchReading> plan = IdealDisplay();
  PatchReading& red = plan[21];
  ASSERT_EQ(red.name, "red");
  red.x = 0.60, red.y = 0.36;
  const VerificationFigures judged = Evaluate(plan, plan, Target{}, Thresholds{});
  EXPECT_FALSE(judged.colours.passes);
  const double redDeltaE = judged.patches[21].deltaE;
  EXPECT_GT(redDeltaE, 5.0);

  red.outOfReach = true;
  for (const std::size_t measured : {plan.size() - 1, plan.size()}) {
    SCOPED_TRACE(measured);
    const std::vector<PatchReading> readings(plan.begin(), plan.begin() + measured);
    const VerificationFigures f = Evaluate(readings, plan, Target{}, Thresholds{});
    EXPECT_EQ(f.colours.planned, 5);
    EXPECT_EQ(f.colours.outOfReach, 1);
    EXPECT_EQ(f.colours.count, static_cast<int>(measured) - 22);
    EXPECT_LT(f.colours.maximum, 0.01) << "the red is not among the colours' figures";
    EXPECT_DOUBLE_EQ(f.patches[21].deltaE, redDeltaE) << "its own ΔE2000 stays";
    EXPECT_EQ(f.Passes(), measured == plan.size());
  }
  const std::vector<PatchReading> allButRed(plan.begin(), plan.begin() + 21);
  std::vector<PatchReading> onlyRedOfColours = allButRed;
  onlyRedOfColours.push_back(red);
  const VerificationFigures f = Evaluate(onlyRedOfColours, Target{}, Thresholds{});
  EXPECT_TRUE(f.colours.passes) << "no colour to judge: nothing fails";
  EXPECT_FALSE(f.colours.Measured());
}

}  // namespace
}  // namespace velluma::colour
