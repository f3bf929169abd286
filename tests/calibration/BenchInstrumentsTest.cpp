// 0-CAL., the analyzer front, AUTO and Verify against the virtual bench with every instrument
// kind: the PR-655 on its pty, the CA-310 through the server module, the i1-Pro through the
// EyeOne library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "calibration/Station.h"
#include "datafiles/CalibrationFile.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/InstrumentBenchRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using Box = test::ScriptedOperator::Box;

std::vector<double> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<double> values;
  for (double v; in >> v;) values.push_back(v);
  return values;
}

class BenchInstrumentsTest : public test::InstrumentBenchRig {
 protected:
  void Start(std::vector<std::string> benchOptions = {}) {
    benchOptions.insert(benchOptions.end(), {"--reply-delay", "10"});
    StartBench(benchOptions);
  }
  bool IsI1() const { return std::string(GetParam()) == "i1-Pro"; }
};

TEST_P(BenchInstrumentsTest, ZeroCalibrationCompletes) {
  Start();
  op_.answers = {Operator::kAnswerYes};
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.boxes.back(), (Box{"Complete.", "0-Cal.", 0}));
  EXPECT_FALSE(op_.locked);
  auto state = bench_->State();
  if (std::string(GetParam()) == "PR-655") {
    EXPECT_EQ(bench_->Request("log pr655"),
              (std::vector<std::string>{"PHOTO", "SE0", "SK60", "SS3", "SU1", "Q"}));
    EXPECT_EQ(state["pr655.remote"], "off");
  }
  if (std::string(GetParam()) == "CA-310") {
    EXPECT_EQ(state["ca.zero-calibrations"], "1");
  }
  if (IsI1()) {
    EXPECT_EQ(state["eyeone.calibrations"], "1");
    EXPECT_EQ(op_.messageLine, "Calibrate OK");
  }
}

TEST_P(BenchInstrumentsTest, TheFrontMeasuresThePatchTheMonitorShows) {
  Start();
  op_.answers = {Operator::kAnswerYes};
  seam_.DeviceSet().CreateCaAnalyzer();
  ASSERT_TRUE(seam_.Preparation().CalibrateInstrument().ready);
  if (IsI1()) {
    ASSERT_EQ(seam_.DeviceSet().I1()->SetOption("ColorSpaceDescription.Type", "CIExyY"), 0);
  }
  ASSERT_EQ(seam_.DeviceSet().Front().BeginRemote().code, 0);
  ASSERT_EQ(seam_.Link()->ShowPattern(255, 0, 0), LinkResult::Ok);
  double x = 0, y = 0, Y = 0;
  ASSERT_EQ(seam_.DeviceSet().Front().Measure(x, y, Y).code, 0);
  seam_.DeviceSet().Front().EndRemote();
  const std::vector<std::string> measured = bench_->Request("measure");
  ASSERT_EQ(measured.size(), 1u);
  const auto expected = Numbers(measured[0]);
  ASSERT_EQ(expected.size(), 3u) << measured[0];
  EXPECT_NEAR(x, expected[0], 1e-4);
  EXPECT_NEAR(y, expected[1], 1e-4);
  EXPECT_NEAR(Y, expected[2], 1e-2 * expected[2]);
  EXPECT_NEAR(x, 0.64, 5e-3) << "the red primary, with a little black level mixed in";
}

TEST_P(BenchInstrumentsTest, AutoCompletesAndTheMonitorHoldsWhatTheFileHolds) {
  Start();
  op_.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  op_.dialogAnswers = {dir_.File("auto.txt")};
  const ProcedureResult result = station_.RunAuto();
  ASSERT_FALSE(op_.boxes.empty());
  EXPECT_EQ(op_.boxes.back().text.rfind("Auto\t\tComplete.\nMaxBright\t\t 2", 0), 0u)
      << op_.boxes.back().text;
  EXPECT_EQ(op_.boxes.back().flags, 0);
  // The i1-Pro's questions, answered, come before the report and change nothing of it.
  EXPECT_EQ(result.outcome, ProcedureOutcome::Done);
  EXPECT_EQ(result.report, op_.boxes.back().text);

  CalibrationData saved;
  ASSERT_EQ(calibration_file::Read(dir_.File("auto.txt"), saved),
            calibration_file::ReadResult::Loaded);
  // The monitor gets Y in 7 characters, cut rather than rounded above 100; the file rounds Y to
  // three decimals; x and y are four decimals in both.
  constexpr double kYTolerance = 1.5e-3;
  auto state = bench_->State();
  const auto primaries = Numbers(state["primaries"]);
  ASSERT_EQ(primaries.size(), 9u);
  for (int p = 0; p < 3; ++p) {
    EXPECT_NEAR(primaries[p], saved.primaries[p].Y, kYTolerance);
    EXPECT_NEAR(primaries[3 + p], saved.primaries[p].x, 1e-6);
    EXPECT_NEAR(primaries[6 + p], saved.primaries[p].y, 1e-6);
  }
  const auto greyY = Numbers(state["grey0"]), greyX = Numbers(state["grey1"]),
             greyy = Numbers(state["grey2"]);
  ASSERT_EQ(greyY.size(), 256u);
  for (int n = 0; n < 256; ++n) {
    EXPECT_NEAR(greyY[n], saved.greyLevels[n].Y, kYTolerance) << n;
    EXPECT_NEAR(greyX[n], saved.greyLevels[n].x, 1e-6) << n;
    EXPECT_NEAR(greyy[n], saved.greyLevels[n].y, 1e-6) << n;
  }
  EXPECT_EQ(state["zbl"], "100");
}

TEST_P(BenchInstrumentsTest, TintedGreysGiveTheRgbNgReport) {
  Start({"--tint-x", "0.05"});
  op_.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  op_.dialogAnswers = {dir_.File("tinted.txt")};
  station_.RunAuto();
  ASSERT_FALSE(op_.boxes.empty());
  EXPECT_EQ(op_.boxes.back().text.substr(0, 20), "Auto\t\tNG\n RGBch\t\tNG\n");
  EXPECT_EQ(op_.boxes.back().flags, 16);
}

TEST_P(BenchInstrumentsTest, ADimPanelGivesTheMaxBrightBox) {
  Start({"--white", "200"});
  op_.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  station_.RunAuto();
  ASSERT_FALSE(op_.boxes.empty());
  EXPECT_EQ(op_.boxes.back().caption, "MaxBright");
  EXPECT_EQ(op_.boxes.back().text, "QX-7MR520\nMaxBright\t 200\tNG");
  EXPECT_TRUE(op_.dialogFilters.empty());
}

// A verification view that records what it was shown and asks to stop once `stopAfter` patches
// are measured.
struct RecordingView : VerificationView {
  void ShowVerification(const VerificationResult& soFar) override {
    shown.push_back(soFar.readings.size());
  }
  bool StopRequested() override { return shown.back() >= stopAfter; }
  std::vector<std::size_t> shown;
  std::size_t stopAfter = SIZE_MAX;
};

// CIELAB of x, y, Y relative to D65 at the luminance `whiteY`, by the CIE 15 formulas written
// out here rather than taken from the program.
colour::Lab ExpectedLab(double x, double y, double Y, double whiteY) {
  const double X = x / y * Y, Z = (1 - x - y) / y * Y;
  const double whiteX = 0.3127 / 0.3290 * whiteY, whiteZ = (1 - 0.3127 - 0.3290) / 0.3290 * whiteY;
  auto f = [](double t) {
    return t > 216.0 / 24389 ? std::cbrt(t) : t * 24389.0 / 27 / 116 + 16.0 / 116;
  };
  return {116 * f(Y / whiteY) - 16, 500 * (f(X / whiteX) - f(Y / whiteY)),
          200 * (f(Y / whiteY) - f(Z / whiteZ))};
}

TEST_P(BenchInstrumentsTest, VerifyingAnIdealDisplayPassesAndWritesNothingIntoTheMonitor) {
  Start();
  op_.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  RecordingView view;
  const VerificationResult result = station_.Verify(view);
  EXPECT_EQ(result.outcome, VerificationResult::Outcome::Finished) << op_.messageLine;
  EXPECT_TRUE(result.Passes());
  ASSERT_EQ(result.readings.size(), 27u);  // white, black, 19 greys, 6 colours
  EXPECT_EQ(view.shown.size(), 28u);       // before the first patch and after each
  EXPECT_EQ(result.instrument, GetParam());
  EXPECT_EQ(result.monitor, "QX-7MR520");
  EXPECT_NEAR(result.figures.whiteY, 260.0, 0.05);
  EXPECT_NEAR(result.figures.contrast, 1300.0, 1.0);
  EXPECT_NEAR(result.figures.whiteTemperature.kelvin, 6504, 5);
  EXPECT_LT(result.figures.greys.maximum, 0.5);
  EXPECT_LT(result.figures.colours.maximum, 0.5);
  EXPECT_EQ(op_.messageLine.rfind("Verification passed: ΔE2000 greys average 0.", 0), 0u)
      << op_.messageLine;
  EXPECT_FALSE(op_.locked);
  auto state = bench_->State();
  for (const char* written : {"primaries", "grey0", "grey1", "grey2", "zbl"})
    EXPECT_EQ(state[written], "none") << written;
  EXPECT_EQ(state["pattern"], "0 0 0");  // left black, as AUTO leaves it
}

// Greys tinted by dx 0.01, dy 0.005 over the default panel: each grey's ΔE2000 is the one its
// light (black + (white - black) s^2.2, tinted) has against D65 at 260 × s^2.2.
TEST_P(BenchInstrumentsTest, VerifyingATintedDisplayFailsByTheDeltaEItsModelImplies) {
  Start({"--tint-x", "0.01", "--tint-y", "0.005"});
  op_.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  RecordingView view;
  const VerificationResult result = station_.Verify(view);
  ASSERT_EQ(result.outcome, VerificationResult::Outcome::Finished) << op_.messageLine;
  EXPECT_FALSE(result.Passes());
  EXPECT_FALSE(result.figures.greys.passes);
  EXPECT_TRUE(result.figures.colours.passes);
  int greys = 0;
  for (const colour::PatchFigures& patch : result.figures.patches) {
    if (!patch.reading.IsGrey()) continue;
    ++greys;
    const double s = std::pow(patch.reading.r / 255.0, 2.2);
    const colour::Lab shown = ExpectedLab(0.3227, 0.3340, 0.2 + 259.8 * s, 260.0);
    const colour::Lab target = ExpectedLab(0.3127, 0.3290, 260.0 * s, 260.0);
    EXPECT_NEAR(patch.deltaE, colour::DeltaE2000(shown, target), 0.01) << patch.reading.name;
    EXPECT_EQ(patch.passes, patch.deltaE <= 2.0) << patch.reading.name;
  }
  EXPECT_EQ(greys, 21);
  EXPECT_GT(result.figures.greys.maximum, 2.0);
  EXPECT_EQ(op_.messageLine.rfind("Verification NG: ", 0), 0u) << op_.messageLine;
}

TEST_P(BenchInstrumentsTest, AStoppedVerificationKeepsThePatchesItMeasured) {
  Start();
  op_.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  RecordingView view;
  view.stopAfter = 5;
  const VerificationResult result = station_.Verify(view);
  EXPECT_EQ(result.outcome, VerificationResult::Outcome::Stopped);
  ASSERT_EQ(result.readings.size(), 5u);
  EXPECT_EQ(result.figures.patches.size(), 5u);
  EXPECT_EQ(result.readings[4].name, "grey 38");
  EXPECT_NEAR(result.readings[0].Y, 260.0, 0.05);
  EXPECT_FALSE(result.Passes());
  EXPECT_FALSE(result.figures.greys.passes) << "5 of 21 greys: no verdict";
  EXPECT_FALSE(result.figures.colours.passes) << "no colour measured: no verdict";
  EXPECT_EQ(op_.messageLine, "Verification stopped after 5 of 27 patches");
  EXPECT_FALSE(op_.locked);
  EXPECT_EQ(bench_->State()["pattern"], "0 0 0");
}

TEST_P(BenchInstrumentsTest, AStoredTargetThatNamesNothingStopsVerifyBeforeAnyPatch) {
  Start();
  const struct {
    const char* setting;
    const char* value;
    const char* box;
  } stored[] = {
      {"VerifyToneCurve", "3.0",
       "Verify: VerifyToneCurve: \"3.0\" is not a tone curve: 2.2, 2.4 or BT.1886"},
      // x + y of 1: no chromaticity, and every figure of the run would be "-nan".
      {"VerifyWhitePoint", "0.5,0.5",
       "Verify: VerifyWhitePoint: \"0.5,0.5\" is not a white point: no colour has that "
       "chromaticity"},
  };
  for (const auto& c : stored) {
    settings_.WriteStringSetting(c.setting, c.value);
    RecordingView view;
    view.shown.push_back(0);
    const VerificationResult result = station_.Verify(view);
    EXPECT_EQ(result.outcome, VerificationResult::Outcome::Failed);
    EXPECT_TRUE(result.readings.empty());
    ASSERT_FALSE(op_.boxes.empty());
    EXPECT_EQ(op_.boxes.back(), (Box{c.box, "Verify", 16}));
    for (const std::string& line : bench_->Log()) EXPECT_NE(line.rfind("OUT", 0), 0u) << line;
    EXPECT_FALSE(op_.locked);
    settings_.WriteStringSetting(c.setting, "");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryInstrument, BenchInstrumentsTest,
                         ::testing::Values("PR-655", "CA-310", "i1-Pro"), [](const auto& info) {
                           return std::string(info.param) == "i1-Pro"
                                      ? std::string("I1Pro")
                                      : std::string(info.param).substr(0, 2) +
                                            std::string(info.param).substr(3);
                         });

class BenchFailuresTest : public BenchInstrumentsTest {};

TEST_P(BenchFailuresTest, FailuresOfEachInstrument) {
  const std::string model = GetParam();
  if (model == "CA-310") {
    Start({"--fault", "ca:collection fail"});
    station_.ZeroCalibrate();
    EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Not Connect!  Restart Application", "ERROR: ", 0}}));
    EXPECT_TRUE(op_.locked);
  } else if (model == "i1-Pro") {
    Start({"--fault", "eyeone:Calibrate fail"});
    op_.answers = {Operator::kAnswerYes};
    station_.ZeroCalibrate();
    EXPECT_EQ(op_.messageLine, "Calibrate NG");
    EXPECT_EQ(op_.boxes.back(), (Box{"Complete.", "0-Cal.", 0}));
    op_.answers = {Operator::kAnswerNo};
    op_.boxes.clear();
    station_.ZeroCalibrate();
    EXPECT_EQ(op_.boxes.back(), (Box{"0-Cal. Abort", "Abort", 0}));
    op_.answers = {Operator::kAnswerYes, Operator::kAnswerNo};  // calibrate, then not on the screen
    op_.boxes.clear();
    station_.RunAuto();
    EXPECT_EQ(op_.boxes.back(), (Box{"Auto Calibration Abort", "Abort", 0}));
    EXPECT_TRUE(bench_->Log().empty()) << "the monitor is not queried";
    ::setenv("VELLUMA_EYEONE", "/nonexistent/EyeOne.so", 1);
    station_.CloseDevices();
    station_.OpenDevices();
    op_.boxes.clear();
    station_.ZeroCalibrate();
    EXPECT_EQ(op_.messageLine, "Lib wasn't loaded");
    EXPECT_EQ(op_.boxes, (std::vector<Box>{{"0-Cal. Abort", "Abort", 0}}));
  } else if (model == "PR-655") {
    Start({"--fault", "pr655:M1 reply -8"});
    op_.dialogAnswers = {dir_.File("weak.txt")};
    station_.RunAuto();
    EXPECT_EQ(op_.boxes.front(), (Box{"Analyzer: Weak light   insufficient signal.", "Auto", 16}));
  } else {
    Start();
    station_.ZeroCalibrate();
    EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Analyzer: Error", "0-Cal.", 16}}));
    EXPECT_FALSE(op_.locked);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryInstrument, BenchFailuresTest,
                         ::testing::Values("PR-655", "CA-310", "i1-Pro", "NoConnect"),
                         [](const auto& info) {
                           std::string n = info.param;
                           n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
                           return n;
                         });

}  // namespace
}  // namespace velluma
