// The panel model's parts against curves and panels whose light is known exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>

#include "correction/Correction.h"
#include "correction/ToneResponse.h"

namespace velluma::correction {
namespace {

struct Curve {
  const char* name;
  double gamma, toe, shoulder;

  double At(double d) const {
    double light = std::pow(d, gamma);
    if (toe > 0) light *= d / (d + toe) * (1 + toe);
    if (shoulder > 0) light = (1 + shoulder) * light / (1 + shoulder * light);
    return light;
  }
};

// CIE L* of a luminance relative to white.
double Lightness(double relative) {
  return relative > 216.0 / 24389 ? 116 * std::cbrt(relative) - 16 : 24389.0 / 27 * relative;
}

// The fit follows a panel's curve between and below the measured drives to within 0.15 in L*
// (0.3 with noise of 0.3 % on every point), always rises, and gives full drive exactly 1.
TEST(ToneResponseTest, FollowsPanelCurvesBetweenAndBelowTheMeasuredDrives) {
  const Curve curves[] = {{"power 2.0 with a toe", 2.0, 0.03, 0},
                          {"power 2.6 with a shoulder", 2.6, 0, 0.1},
                          {"power 2.3 with both", 2.3, 0.04, 0.05}};
  const int measured[] = {17, 34, 51, 68, 102, 136, 170, 204, 255};
  for (const Curve& curve : curves) {
    for (double noise : {0.0, 0.003}) {
      SCOPED_TRACE(std::string(curve.name) + (noise > 0 ? ", noisy" : ""));
      std::vector<ToneResponse::Point> points;
      for (int i = 0; int level : measured) {
        const double sign = i++ % 2 ? 1 : -1;  // the noise at its worst: alternating
        points.push_back({level / 255.0, curve.At(level / 255.0) * (1 + sign * noise)});
      }
      const ToneResponse response(points);
      EXPECT_DOUBLE_EQ(response.LightAt(1.0), 1.0);
      double before = 0;
      for (int level = 1; level <= 255; ++level) {
        const double d = level / 255.0;
        const double fitted = response.LightAt(d);
        EXPECT_GT(fitted, before) << level;
        before = fitted;
        EXPECT_NEAR(Lightness(fitted), Lightness(curve.At(d)), 0.15 + 50 * noise) << level;
      }
    }
  }
}

colour::PatchReading Reading(const colour::PatchReading& patch) {
  colour::PatchReading reading = patch;
  const double share[3] = {patch.r / 255.0, patch.g / 255.0, patch.b / 255.0};
  const double X = 0.2 + 95 * share[0] + 36 * share[1] + 18 * share[2];
  const double Y = 0.2 + 50 * share[0] + 72 * share[1] + 7 * share[2];
  const double Z = 0.2 + 4 * share[0] + 12 * share[1] + 95 * share[2];
  reading.x = X / (X + Y + Z);
  reading.y = Y / (X + Y + Z);
  reading.Y = Y;
  return reading;
}

// Readings that cannot describe a panel are refused with what is wrong, never turned into a LUT.
TEST(BuildCorrectionTest, RefusesReadingsThatCannotDescribeAPanel) {
  struct Case {
    const char* what;
    std::function<void(std::vector<colour::PatchReading>&)> spoil;
    const char* said;
  };
  const Case cases[] = {
      {"no black", [](auto& r) { std::erase_if(r, [](auto& p) { return p.name == "black"; }); },
       "0,0,0 was not measured"},
      {"no full green",
       [](auto& r) { std::erase_if(r, [](auto& p) { return p.name == "green 255"; }); },
       "0,255,0 was not measured"},
      {"a reading that is not a number",
       [](auto& r) { r[7].x = std::numeric_limits<double>::quiet_NaN(); }, "is not a light"},
      {"a dead blue channel",
       [](auto& r) {
         const colour::PatchReading black = Reading({"black", 0, 0, 0});
         for (auto& p : r) {
           if (p.r == 0 && p.g == 0) std::tie(p.x, p.y, p.Y) = std::tie(black.x, black.y, black.Y);
         }
       },
       "the blue channel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<colour::PatchReading> readings;
    for (const auto& patch : CorrectionPatches()) readings.push_back(Reading(patch));
    c.spoil(readings);
    try {
      BuildCorrection(readings, colour::Target{});
      ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& error) {
      EXPECT_NE(std::string(error.what()).find(c.said), std::string::npos) << error.what();
    }
  }
}

// Readings far from any panel (lights off by factors of two, chromaticities off by 0.03, as a
// failing instrument might return) give either the error or a table of codes the monitor's
// 10-bit fields hold, never anything else.
TEST(BuildCorrectionTest, WildReadingsGiveAnErrorOrCodesTheMonitorHolds) {
  std::mt19937 random(5);
  std::normal_distribution<double> deviation(0.0, 1.0);
  int tables = 0;
  for (int attempt = 0; attempt < 10; ++attempt) {
    std::vector<colour::PatchReading> readings;
    for (const auto& patch : CorrectionPatches()) {
      colour::PatchReading reading = Reading(patch);
      reading.Y *= std::exp(0.7 * deviation(random));
      reading.x = std::abs(reading.x + 0.03 * deviation(random));
      reading.y = std::abs(reading.y + 0.03 * deviation(random));
      readings.push_back(reading);
    }
    try {
      const Correction correction = BuildCorrection(readings, colour::Target{});
      ++tables;
      for (const auto& channel : correction.lut) {
        for (std::int32_t code : channel) ASSERT_TRUE(code >= 0 && code <= kMonitorCodeMax);
      }
    } catch (const std::invalid_argument&) {
    }
  }
  EXPECT_GT(tables, 0);  // the case is not all errors
}

}  // namespace
}  // namespace velluma::correction
