// The virtual display: the light of a patch, checked against colorimetry worked out by hand
// (sRGB primaries with a D65 white give the luminance shares 0.2126, 0.7152, 0.0722).
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "bench/instruments/DisplayModel.h"
#include "gtest/gtest.h"

namespace velluma::bench {
namespace {

constexpr double kD65x = 0.3127;
constexpr double kD65y = 0.3290;

DisplayParameters Parameters(std::vector<std::pair<std::string, std::string>> settings) {
  DisplayParameters parameters;
  for (const auto& [key, value] : settings) parameters.Set(key, value);
  return parameters;
}

double GammaLevel(int value, double gamma = 2.2) {
  return std::pow(value / 255.0, gamma);
}

TEST(DisplayModel, FullWhiteIsD65AtTheWhiteLuminanceBeforeAndAtZbl200) {
  DisplayModel display{DisplayParameters{}};
  for (std::optional<int> zbl : {std::optional<int>(), std::optional<int>(200)}) {
    Measurement white = display.Emission({255, 255, 255}, zbl);
    EXPECT_NEAR(white.x, kD65x, 1e-9);
    EXPECT_NEAR(white.y, kD65y, 1e-9);
    EXPECT_NEAR(white.Y, 260.0, 1e-9);
  }
}

TEST(DisplayModel, BacklightScalesEveryPatchLinearly) {
  DisplayModel display{DisplayParameters{}};
  const std::vector<Patch> patches = {{255, 255, 255}, {128, 128, 128}, {255, 0, 0}, {0, 0, 0}};
  for (const Patch& patch : patches) {
    SCOPED_TRACE(std::to_string(patch.r) + " " + std::to_string(patch.g));
    Measurement full = display.Emission(patch, 200);
    Measurement half = display.Emission(patch, 100);
    EXPECT_NEAR(half.Y, full.Y / 2, 1e-9);
    EXPECT_NEAR(display.Emission(patch, 300).Y, full.Y * 1.5, 1e-9);
    EXPECT_NEAR(half.x, full.x, 1e-12);
    EXPECT_NEAR(half.y, full.y, 1e-12);
  }
  EXPECT_NEAR(display.Emission({255, 255, 255}, 100).Y, 130.0, 1e-9);
}

TEST(DisplayModel, ChannelsCarryTheirLuminanceSharesAboveTheNeutralBlack) {
  DisplayModel display{DisplayParameters{}};
  struct Case {
    Patch patch;
    double expectedY;
  };
  const double span = 260.0 - 0.2;
  const std::vector<Case> cases = {
      {{0, 0, 0}, 0.2},
      {{255, 0, 0}, 0.2 + 0.2126 * span},
      {{0, 255, 0}, 0.2 + 0.7152 * span},
      {{0, 0, 255}, 0.2 + 0.0722 * span},
      {{128, 128, 128}, 0.2 + GammaLevel(128) * span},
      {{64, 0, 200}, 0.2 + (0.2126 * GammaLevel(64) + 0.0722 * GammaLevel(200)) * span},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.patch.r) + " " + std::to_string(c.patch.g) + " " +
                 std::to_string(c.patch.b));
    EXPECT_NEAR(display.Emission(c.patch, 200).Y, c.expectedY, 0.02);
  }
  Measurement black = display.Emission({0, 0, 0}, 200);
  EXPECT_NEAR(black.x, kD65x, 1e-9);
  EXPECT_NEAR(black.y, kD65y, 1e-9);
}

TEST(DisplayModel, AFullPrimaryOverNoBlackHasThePrimarysChromaticity) {
  DisplayModel display{
      Parameters({{"black", "0"}, {"primaries", "0.68 0.32 0.265 0.69 0.15 0.06"}})};
  const std::vector<std::pair<Patch, std::pair<double, double>>> cases = {
      {{255, 0, 0}, {0.68, 0.32}}, {{0, 255, 0}, {0.265, 0.69}}, {{0, 0, 200}, {0.15, 0.06}}};
  for (const auto& [patch, chromaticity] : cases) {
    Measurement light = display.Emission(patch, 200);
    EXPECT_NEAR(light.x, chromaticity.first, 1e-9);
    EXPECT_NEAR(light.y, chromaticity.second, 1e-9);
  }
  // Other primaries, still a D65 white.
  Measurement white = display.Emission({255, 255, 255}, 200);
  EXPECT_NEAR(white.x, kD65x, 1e-9);
  EXPECT_NEAR(white.y, kD65y, 1e-9);
  EXPECT_NEAR(display.Emission({0, 0, 0}, 200).Y, 0.0, 1e-12);
}

TEST(DisplayModel, GreyTintMovesGreysOnly) {
  DisplayModel plain{DisplayParameters{}};
  DisplayModel tinted{Parameters({{"tint-x", "0.05"}, {"tint-y", "-0.01"}})};
  const std::vector<std::pair<Patch, bool>> cases = {{{0, 0, 0}, true},
                                                     {{128, 128, 128}, true},
                                                     {{255, 255, 255}, true},
                                                     {{128, 128, 127}, false},
                                                     {{255, 0, 0}, false}};
  for (const auto& [patch, grey] : cases) {
    SCOPED_TRACE(std::to_string(patch.r) + " " + std::to_string(patch.b));
    Measurement before = plain.Emission(patch, 200);
    Measurement after = tinted.Emission(patch, 200);
    EXPECT_NEAR(after.x - before.x, grey ? 0.05 : 0.0, 1e-12);
    EXPECT_NEAR(after.y - before.y, grey ? -0.01 : 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(after.Y, before.Y);
  }
}

// The toe and the shoulder bend the power curve but keep black and white; the light of a grey
// follows L = s^g × s/(s+T) × (1+T), then (1+S) L / (1+S L), worked out here by hand.
TEST(DisplayModel, ToeAndShoulderBendTheCurveBetweenFixedEnds) {
  const double span = 260.0 - 0.2;
  auto expected = [&](int v, double toe, double shoulder) {
    double s = v / 255.0;
    double light = std::pow(s, 2.2) * (toe > 0 ? s / (s + toe) * (1 + toe) : 1.0);
    light = (1 + shoulder) * light / (1 + shoulder * light);
    return 0.2 + light * span;
  };
  for (auto [toe, shoulder] : {std::pair{0.05, 0.0}, {0.0, 0.3}, {0.05, 0.3}}) {
    DisplayModel display{
        Parameters({{"toe", std::to_string(toe)}, {"shoulder", std::to_string(shoulder)}})};
    for (int v : {0, 16, 64, 128, 230, 255}) {
      SCOPED_TRACE(std::to_string(toe) + " " + std::to_string(shoulder) + " at " +
                   std::to_string(v));
      EXPECT_NEAR(display.Emission({v, v, v}, 200).Y, expected(v, toe, shoulder), 1e-9);
    }
  }
  DisplayModel toed{Parameters({{"toe", "0.05"}})};
  DisplayModel shouldered{Parameters({{"shoulder", "0.3"}})};
  DisplayModel plain{DisplayParameters{}};
  EXPECT_LT(toed.Emission({16, 16, 16}, 200).Y, plain.Emission({16, 16, 16}, 200).Y * 0.8);
  EXPECT_GT(shouldered.Emission({128, 128, 128}, 200).Y, plain.Emission({128, 128, 128}, 200).Y);
}

TEST(DisplayModel, GreyTintRunsFromTheDarkTintToTheWhiteTint) {
  DisplayModel plain{DisplayParameters{}};
  DisplayModel tinted{
      Parameters({{"tint-dark-x", "-0.02"}, {"tint-dark-y", "0.01"}, {"tint-x", "0.004"}})};
  for (auto [v, dx, dy] : {std::tuple{0, -0.02, 0.01}, {51, -0.0152, 0.008}, {255, 0.004, 0.0}}) {
    SCOPED_TRACE(v);
    EXPECT_NEAR(tinted.Emission({v, v, v}, 200).x - plain.Emission({v, v, v}, 200).x, dx, 1e-12);
    EXPECT_NEAR(tinted.Emission({v, v, v}, 200).y - plain.Emission({v, v, v}, 200).y, dy, 1e-12);
  }
  EXPECT_DOUBLE_EQ(tinted.Emission({255, 0, 0}, 200).x, plain.Emission({255, 0, 0}, 200).x);
}

TEST(DisplayModel, NoiseIsRepeatableWithASeedAndCentredOnTheEmission) {
  DisplayParameters noisy = Parameters({{"noise", "0.002"}, {"seed", "42"}});
  DisplayModel first{noisy};
  DisplayModel second{noisy};
  const Patch grey{200, 200, 200};
  const Measurement exact = first.Emission(grey, 200);
  double sumX = 0, sumRelativeY = 0;
  bool anyDifference = false;
  constexpr int kCount = 2000;
  for (int i = 0; i < kCount; ++i) {
    Measurement a = first.Measure(grey, 200);
    Measurement b = second.Measure(grey, 200);
    ASSERT_EQ(a.x, b.x);
    ASSERT_EQ(a.Y, b.Y);
    anyDifference = anyDifference || a.x != exact.x;
    sumX += a.x - exact.x;
    sumRelativeY += a.Y / exact.Y - 1;
  }
  EXPECT_TRUE(anyDifference);
  EXPECT_NEAR(sumX / kCount, 0.0, 0.0003);
  EXPECT_NEAR(sumRelativeY / kCount, 0.0, 0.0003);

  DisplayModel quiet{DisplayParameters{}};
  Measurement measured = quiet.Measure(grey, 150);
  Measurement emitted = quiet.Emission(grey, 150);
  EXPECT_EQ(measured.x, emitted.x);
  EXPECT_EQ(measured.Y, emitted.Y);
}

TEST(DisplayParameters, FileSetsEveryKeyAndOptionsAfterItOverride) {
  std::string path = std::filesystem::temp_directory_path() /
                     ("velluma-display-" + std::to_string(::getpid()) + ".txt");
  std::ofstream(path) << "# a dim, tinted panel\n\n primaries = 0.65 0.33, 0.29 0.61, 0.15 0.05\n"
                         "white=200\ngamma = 2.4\nblack = 0.1\ntint-x = 0.05\ntint-y = 0.01\n"
                         "toe = 0.02\nshoulder=0.5\ntint-dark-x = -0.01\ntint-dark-y = 0.03\n"
                         "noise = 0.001\nseed = 7\n";
  DisplayParameters parameters;
  parameters.LoadFile(path);
  std::filesystem::remove(path);
  EXPECT_DOUBLE_EQ(parameters.red.x, 0.65);
  EXPECT_DOUBLE_EQ(parameters.green.y, 0.61);
  EXPECT_DOUBLE_EQ(parameters.blue.y, 0.05);
  EXPECT_DOUBLE_EQ(parameters.white, 200);
  EXPECT_DOUBLE_EQ(parameters.gamma, 2.4);
  EXPECT_DOUBLE_EQ(parameters.black, 0.1);
  EXPECT_DOUBLE_EQ(parameters.tintX, 0.05);
  EXPECT_DOUBLE_EQ(parameters.tintY, 0.01);
  EXPECT_DOUBLE_EQ(parameters.toe, 0.02);
  EXPECT_DOUBLE_EQ(parameters.shoulder, 0.5);
  EXPECT_DOUBLE_EQ(parameters.TintAt(0).x, -0.01);
  EXPECT_DOUBLE_EQ(parameters.TintAt(0).y, 0.03);
  EXPECT_DOUBLE_EQ(parameters.noise, 0.001);
  EXPECT_EQ(parameters.seed, 7u);
  parameters.Set("white", "250");
  EXPECT_DOUBLE_EQ(parameters.white, 250);
}

TEST(DisplayParameters, RefusesWhatCannotMakeADisplay) {
  const std::vector<std::pair<std::string, std::string>> badSettings = {
      {"brightness", "3"},      {"white", "bright"}, {"white", "200 cd"}, {"gamma", ""},
      {"primaries", "0.6 0.3"}, {"seed", "-1"},      {"seed", "1.5"},
  };
  for (const auto& [key, value] : badSettings) {
    SCOPED_TRACE(key + "=" + value);
    DisplayParameters parameters;
    EXPECT_THROW(parameters.Set(key, value), std::invalid_argument);
  }
  const std::vector<std::vector<std::pair<std::string, std::string>>> badDisplays = {
      {{"white", "0.1"}},
      {{"black", "-0.1"}},
      {{"gamma", "0"}},
      {{"noise", "-1"}},
      {{"toe", "-0.1"}},
      {{"shoulder", "-1"}},
      {{"primaries", "0.64 0.33 0.30 0.00 0.15 0.06"}},
      {{"primaries", "0.64 0.33 0.50 0.45 0.45 0.40"}},  // D65 outside the triangle
      {{"primaries", "0.1 0.1 0.2 0.2 0.3 0.3"}},        // all on one line
  };
  for (const auto& settings : badDisplays) {
    SCOPED_TRACE(settings.front().second);
    EXPECT_THROW(DisplayModel{Parameters(settings)}, std::invalid_argument);
  }
  DisplayParameters parameters;
  std::string path = std::filesystem::temp_directory_path() /
                     ("velluma-display-bad-" + std::to_string(::getpid()) + ".txt");
  std::ofstream(path) << "white = 250\ngamma 2.2\n";
  try {
    parameters.LoadFile(path);
    ADD_FAILURE() << "a line without '=' was taken";
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find(path + ":2:"), std::string::npos) << error.what();
  }
  std::filesystem::remove(path);
  EXPECT_THROW(parameters.LoadFile(path), std::invalid_argument);
}

}  // namespace
}  // namespace velluma::bench
