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

// A monitor with no memory selected showing `patch` at `zbl`.
MonitorState Showing(Patch patch, std::optional<int> zbl) {
  MonitorState monitor("QX-7MR520");
  monitor.SetPatch(patch);
  if (zbl) monitor.SetZbl(*zbl);
  return monitor;
}

Measurement Shown(const DisplayModel& display, Patch patch, std::optional<int> zbl) {
  return display.Emission(Showing(patch, zbl));
}

Measurement Measured(DisplayModel& display, Patch patch, std::optional<int> zbl) {
  return display.Measure(Showing(patch, zbl));
}

Tristimulus XYZ(const Measurement& m) {
  return Tristimulus::Of({m.x, m.y}, m.Y);
}

double GammaLevel(int value, double gamma = 2.2) {
  return std::pow(value / 255.0, gamma);
}

TEST(DisplayModel, FullWhiteIsD65AtTheWhiteLuminanceBeforeAndAtZbl200) {
  DisplayModel display{DisplayParameters{}};
  for (std::optional<int> zbl : {std::optional<int>(), std::optional<int>(200)}) {
    Measurement white = Shown(display, {255, 255, 255}, zbl);
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
    Measurement full = Shown(display, patch, 200);
    Measurement half = Shown(display, patch, 100);
    EXPECT_NEAR(half.Y, full.Y / 2, 1e-9);
    EXPECT_NEAR(Shown(display, patch, 300).Y, full.Y * 1.5, 1e-9);
    EXPECT_NEAR(half.x, full.x, 1e-12);
    EXPECT_NEAR(half.y, full.y, 1e-12);
  }
  EXPECT_NEAR(Shown(display, {255, 255, 255}, 100).Y, 130.0, 1e-9);
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
    EXPECT_NEAR(Shown(display, c.patch, 200).Y, c.expectedY, 0.02);
  }
  Measurement black = Shown(display, {0, 0, 0}, 200);
  EXPECT_NEAR(black.x, kD65x, 1e-9);
  EXPECT_NEAR(black.y, kD65y, 1e-9);
}

TEST(DisplayModel, AFullPrimaryOverNoBlackHasThePrimarysChromaticity) {
  DisplayModel display{
      Parameters({{"black", "0"}, {"primaries", "0.68 0.32 0.265 0.69 0.15 0.06"}})};
  const std::vector<std::pair<Patch, std::pair<double, double>>> cases = {
      {{255, 0, 0}, {0.68, 0.32}}, {{0, 255, 0}, {0.265, 0.69}}, {{0, 0, 200}, {0.15, 0.06}}};
  for (const auto& [patch, chromaticity] : cases) {
    Measurement light = Shown(display, patch, 200);
    EXPECT_NEAR(light.x, chromaticity.first, 1e-9);
    EXPECT_NEAR(light.y, chromaticity.second, 1e-9);
  }
  // Other primaries, still a D65 white.
  Measurement white = Shown(display, {255, 255, 255}, 200);
  EXPECT_NEAR(white.x, kD65x, 1e-9);
  EXPECT_NEAR(white.y, kD65y, 1e-9);
  EXPECT_NEAR(Shown(display, {0, 0, 0}, 200).Y, 0.0, 1e-12);
}

// A grey tint lives in the channels' curves: every grey shows exactly its tint at its old
// luminance, and a colour passes through the same reshaped curves (the three channels alone add
// up to the grey, black counted once), so a patch next to a grey is tinted as the grey is.
TEST(DisplayModel, GreyTintReshapesTheChannelsSoColoursShareIt) {
  DisplayModel plain{DisplayParameters{}};
  DisplayModel tinted{Parameters({{"tint-x", "0.05"}, {"tint-y", "-0.01"}})};
  for (int v : {0, 128, 255}) {
    SCOPED_TRACE(v);
    const Measurement before = Shown(plain, {v, v, v}, 200);
    const Measurement after = Shown(tinted, {v, v, v}, 200);
    EXPECT_NEAR(after.x - before.x, 0.05, 1e-12);
    EXPECT_NEAR(after.y - before.y, -0.01, 1e-12);
    EXPECT_NEAR(after.Y, before.Y, 1e-9);
    const Tristimulus sum =
        XYZ(Shown(tinted, {v, 0, 0}, 200)) + XYZ(Shown(tinted, {0, v, 0}, 200)) +
        XYZ(Shown(tinted, {0, 0, v}, 200)) - XYZ(Shown(tinted, {0, 0, 0}, 200)) * 2;
    EXPECT_NEAR(sum.Xy().x, after.x, 1e-9);
    EXPECT_NEAR(sum.Y, after.Y, 1e-9);
  }
  EXPECT_NEAR(Shown(tinted, {128, 128, 127}, 200).x - Shown(plain, {128, 128, 127}, 200).x, 0.05,
              0.001);
  EXPECT_GT(Shown(tinted, {255, 0, 0}, 200).Y, Shown(plain, {255, 0, 0}, 200).Y * 1.2);
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
      EXPECT_NEAR(Shown(display, {v, v, v}, 200).Y, expected(v, toe, shoulder), 1e-9);
    }
  }
  DisplayModel toed{Parameters({{"toe", "0.05"}})};
  DisplayModel shouldered{Parameters({{"shoulder", "0.3"}})};
  DisplayModel plain{DisplayParameters{}};
  EXPECT_LT(Shown(toed, {16, 16, 16}, 200).Y, Shown(plain, {16, 16, 16}, 200).Y * 0.8);
  EXPECT_GT(Shown(shouldered, {128, 128, 128}, 200).Y, Shown(plain, {128, 128, 128}, 200).Y);
}

TEST(DisplayModel, GreyTintRunsFromTheDarkTintToTheWhiteTint) {
  DisplayModel plain{DisplayParameters{}};
  DisplayModel tinted{
      Parameters({{"tint-dark-x", "-0.02"}, {"tint-dark-y", "0.01"}, {"tint-x", "0.004"}})};
  for (auto [v, dx, dy] : {std::tuple{0, -0.02, 0.01}, {51, -0.0152, 0.008}, {255, 0.004, 0.0}}) {
    SCOPED_TRACE(v);
    EXPECT_NEAR(Shown(tinted, {v, v, v}, 200).x - Shown(plain, {v, v, v}, 200).x, dx, 1e-12);
    EXPECT_NEAR(Shown(tinted, {v, v, v}, 200).y - Shown(plain, {v, v, v}, 200).y, dy, 1e-12);
  }
}

TEST(DisplayModel, NoiseIsRepeatableWithASeedAndCentredOnTheEmission) {
  DisplayParameters noisy = Parameters({{"noise", "0.002"}, {"seed", "42"}});
  DisplayModel first{noisy};
  DisplayModel second{noisy};
  const Patch grey{200, 200, 200};
  const Measurement exact = Shown(first, grey, 200);
  double sumX = 0, sumRelativeY = 0;
  bool anyDifference = false;
  constexpr int kCount = 2000;
  for (int i = 0; i < kCount; ++i) {
    Measurement a = Measured(first, grey, 200);
    Measurement b = Measured(second, grey, 200);
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
  Measurement measured = Measured(quiet, grey, 150);
  Measurement emitted = Shown(quiet, grey, 150);
  EXPECT_EQ(measured.x, emitted.x);
  EXPECT_EQ(measured.Y, emitted.Y);
}

// Each channel's own curve: over no black, grey s is R s^2.0 + G s^2.2 + B s^2.6 with the sRGB
// channels' published tristimulus columns, so greys drift from D65, most near black.
TEST(PhysicalPanel, ChannelCurvesOfTheirOwnTintTheGreysDifferentlyAlongTheRamp) {
  DisplayModel display{Parameters({{"black", "0"}, {"gamma-red", "2.0"}, {"gamma-blue", "2.6"}})};
  const Tristimulus red{0.4124, 0.2126, 0.0193}, green{0.3576, 0.7152, 0.1192},
      blue{0.1805, 0.0722, 0.9505};
  std::vector<double> drift;
  for (int v : {32, 64, 128, 192, 255}) {
    SCOPED_TRACE(v);
    const double s = v / 255.0;
    const Tristimulus expected =
        red * std::pow(s, 2.0) + green * std::pow(s, 2.2) + blue * std::pow(s, 2.6);
    const Measurement grey = Shown(display, {v, v, v}, 200);
    EXPECT_NEAR(grey.x, expected.Xy().x, 2e-4);
    EXPECT_NEAR(grey.y, expected.Xy().y, 2e-4);
    EXPECT_NEAR(grey.Y, 260 * expected.Y, 260 * 2e-4);
    drift.push_back(grey.x - kD65x);
  }
  EXPECT_GT(drift[0], 2 * drift[3]);  // redder near black than near white
  EXPECT_NEAR(drift[4], 0.0, 1e-9);   // white stays at the white point
}

// Black at its own chromaticity; full white at the white point, black included.
TEST(PhysicalPanel, BlackAndWhiteShowTheirOwnChromaticities) {
  DisplayModel display{Parameters({{"black", "0.25"},
                                   {"black-x", "0.27"},
                                   {"black-y", "0.28"},
                                   {"white-x", "0.305"},
                                   {"white-y", "0.325"}})};
  for (auto [v, x, y, Y] : {std::tuple{0, 0.27, 0.28, 0.25}, {255, 0.305, 0.325, 260.0}}) {
    const Measurement light = Shown(display, {v, v, v}, 200);
    EXPECT_NEAR(light.x, x, 1e-12);
    EXPECT_NEAR(light.y, y, 1e-12);
    EXPECT_NEAR(light.Y, Y, 1e-9);
  }
}

// Each channel is dimmed by 2 % of the others' mean drive: white keeps its 260 cd/m², a channel
// alone is 1/0.98 of its share, and the whole is less than the sum of its parts.
TEST(PhysicalPanel, ChannelsInteractSoTheWholeIsLessThanItsParts) {
  DisplayModel display{Parameters({{"interaction", "0.02"}})};
  const double span = 259.8 / 0.98;
  const std::vector<std::pair<Patch, double>> cases = {
      {{255, 255, 255}, 260.0},
      {{255, 0, 0}, 0.2 + 0.2126 * span},
      {{255, 255, 0}, 0.2 + (0.2126 + 0.7152) * span * 0.99},
      {{255, 0, 128},
       0.2 + 0.2126 * span * (1 - 0.01 * 128 / 255) + 0.0722 * span * 0.99 * GammaLevel(128)},
  };
  for (const auto& [patch, expectedY] : cases) {
    SCOPED_TRACE(std::to_string(patch.g) + " " + std::to_string(patch.b));
    EXPECT_NEAR(Shown(display, patch, 200).Y, expectedY, 0.03);
  }
}

// The spread of x and of Y over many measurements; "noise" stands for a part not given.
TEST(PhysicalPanel, LuminanceAndChromaticityNoiseHaveTheirOwnSpread) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> settings;
    double luminance, chromaticity;
  };
  for (const auto& [settings, luminance, chromaticity] : std::vector<Case>{
           {{{"noise-luminance", "0.003"}, {"noise-chromaticity", "0.0003"}}, 0.003, 0.0003},
           {{{"noise", "0.002"}, {"noise-luminance", "0.004"}}, 0.004, 0.002}}) {
    SCOPED_TRACE(luminance);
    DisplayParameters parameters = Parameters(settings);
    parameters.seed = 11;
    DisplayModel display{parameters};
    const Measurement exact = Shown(display, {180, 180, 180}, 200);
    double squaresX = 0, squaresY = 0;
    constexpr int kCount = 4000;
    for (int i = 0; i < kCount; ++i) {
      const Measurement m = Measured(display, {180, 180, 180}, 200);
      squaresX += (m.x - exact.x) * (m.x - exact.x);
      squaresY += (m.Y / exact.Y - 1) * (m.Y / exact.Y - 1);
    }
    EXPECT_NEAR(std::sqrt(squaresX / kCount), chromaticity, chromaticity * 0.1);
    EXPECT_NEAR(std::sqrt(squaresY / kCount), luminance, luminance * 0.1);
  }
}

// The panels shipped with the bench make panels of a station's kind.
TEST(PhysicalPanel, EveryShippedPanelFileMakesAPanel) {
  int panels = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VELLUMA_PANELS_DIR)) {
    SCOPED_TRACE(entry.path().filename().string());
    ++panels;
    DisplayParameters parameters;
    parameters.LoadFile(entry.path().string());
    DisplayModel display{parameters};
    EXPECT_TRUE(parameters.white >= 250 && parameters.white <= 300);
    EXPECT_TRUE(parameters.black >= 0.1 && parameters.black <= 0.3);
    EXPECT_DOUBLE_EQ(parameters.LuminanceNoise(), 0.003);
  }
  EXPECT_GE(panels, 4);
}

TEST(DisplayParameters, FileSetsEveryKeyAndOptionsAfterItOverride) {
  std::string path = std::filesystem::temp_directory_path() /
                     ("velluma-display-" + std::to_string(::getpid()) + ".txt");
  std::ofstream(path) << "# a dim, tinted panel\n\n primaries = 0.65 0.33, 0.29 0.61, 0.15 0.05\n"
                         "white=200\ngamma = 2.4\nblack = 0.1\ntint-x = 0.05\ntint-y = 0.01\n"
                         "toe = 0.02\nshoulder=0.5\ntint-dark-x = -0.01\ntint-dark-y = 0.03\n"
                         "noise = 0.001\nseed = 7\ngamma-blue = 2.6\ntoe-red = 0.01\n"
                         "black-x = 0.30\nblack-y = 0.31\nwhite-x = 0.31\ninteraction = 0.015\n"
                         "noise-chromaticity = 0.0003\n";
  DisplayParameters parameters;
  parameters.LoadFile(path);
  std::filesystem::remove(path);
  EXPECT_DOUBLE_EQ(parameters.red.x, 0.65);
  EXPECT_DOUBLE_EQ(parameters.green.y, 0.61);
  EXPECT_DOUBLE_EQ(parameters.blue.y, 0.05);
  EXPECT_DOUBLE_EQ(parameters.white, 200);
  EXPECT_DOUBLE_EQ(parameters.curves[0].gamma, 2.4);
  EXPECT_DOUBLE_EQ(parameters.curves[1].gamma, 2.4);
  EXPECT_DOUBLE_EQ(parameters.curves[2].gamma, 2.6);
  EXPECT_DOUBLE_EQ(parameters.black, 0.1);
  EXPECT_DOUBLE_EQ(parameters.tintX, 0.05);
  EXPECT_DOUBLE_EQ(parameters.tintY, 0.01);
  EXPECT_DOUBLE_EQ(parameters.curves[0].toe, 0.01);
  EXPECT_DOUBLE_EQ(parameters.curves[2].toe, 0.02);
  EXPECT_DOUBLE_EQ(parameters.curves[1].shoulder, 0.5);
  EXPECT_DOUBLE_EQ(parameters.TintAt(0).x, -0.01);
  EXPECT_DOUBLE_EQ(parameters.TintAt(0).y, 0.03);
  EXPECT_DOUBLE_EQ(parameters.blackPoint.x, 0.30);
  EXPECT_DOUBLE_EQ(parameters.blackPoint.y, 0.31);
  EXPECT_DOUBLE_EQ(parameters.whitePoint.x, 0.31);
  EXPECT_DOUBLE_EQ(parameters.interaction, 0.015);
  EXPECT_DOUBLE_EQ(parameters.LuminanceNoise(), 0.001);
  EXPECT_DOUBLE_EQ(parameters.ChromaticityNoise(), 0.0003);
  EXPECT_EQ(parameters.seed, 7u);
  parameters.Set("white", "250");
  EXPECT_DOUBLE_EQ(parameters.white, 250);
}

TEST(DisplayParameters, RefusesWhatCannotMakeADisplay) {
  const std::vector<std::pair<std::string, std::string>> badSettings = {
      {"brightness", "3"},      {"white", "bright"}, {"white", "200 cd"}, {"gamma", ""},
      {"primaries", "0.6 0.3"}, {"seed", "-1"},      {"seed", "1.5"},     {"gamma-purple", "2.2"},
      {"gamma-", "2.2"},        {"black-x", "warm"},
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
      {{"gamma-green", "0"}},
      {{"interaction", "0.6"}},
      {{"black-y", "0"}},
      {{"noise-luminance", "-0.001"}},
      {{"white-x", "0.5"}, {"white-y", "0.45"}},  // the white outside the triangle
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
