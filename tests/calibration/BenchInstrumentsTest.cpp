// 0-CAL., the analyzer front and AUTO against the virtual bench with every instrument kind: the
// PR-655 on its pty, the CA-310 through the server module, the i1-Pro through the EyeOne library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "calibration/Station.h"
#include "datafiles/CalibrationFile.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
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

class BenchInstrumentsTest : public test::StationRig<::testing::TestWithParam<const char*>> {
 protected:
  void Start(std::vector<std::string> benchOptions = {}) {
    benchOptions.insert(benchOptions.end(),
                        {"--reply-delay", "10", "--pr655-measure-ms", "2", "--pr655-quiet-wake"});
    bench = std::make_unique<BenchProcess>(benchOptions);
    ::setenv("VELLUMA_BENCH_SOCKET", bench->SocketPath().c_str(), 1);
    ::setenv("VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH, 1);
    ::setenv("VELLUMA_EYEONE", VELLUMA_EYEONE_PATH, 1);
    UseMonitorPort(bench->MonitorDevice());
    settings.WriteStringSetting("AnalizerPort", bench->Pr655Device());
    settings.WriteStringSetting("AnalizerModel", GetParam());
    station.DeviceSet().UseCaServer(caServer);
    station.CreateDevices();
  }
  void TearDown() override {
    StationRig::TearDown();
    for (const char* name : {"VELLUMA_BENCH_SOCKET", "VELLUMA_CA_SERVER", "VELLUMA_EYEONE"})
      ::unsetenv(name);
  }
  bool IsI1() const { return std::string(GetParam()) == "i1-Pro"; }

  std::unique_ptr<BenchProcess> bench;
  CaServer caServer;
};

TEST_P(BenchInstrumentsTest, ZeroCalibrationCompletes) {
  Start();
  op.answers = {Operator::kAnswerYes};
  station.ZeroCalButtonClick();
  EXPECT_EQ(op.boxes.back(), (Box{"Complete.", "0-Cal.", 0}));
  EXPECT_FALSE(op.locked);
  auto state = bench->State();
  if (std::string(GetParam()) == "PR-655") {
    EXPECT_EQ(bench->Request("log pr655"),
              (std::vector<std::string>{"PHOTO", "SE0", "SK60", "SS3", "SU1", "Q"}));
    EXPECT_EQ(state["pr655.remote"], "off");
  }
  if (std::string(GetParam()) == "CA-310") {
    EXPECT_EQ(state["ca.zero-calibrations"], "1");
  }
  if (IsI1()) {
    EXPECT_EQ(state["eyeone.calibrations"], "1");
    EXPECT_EQ(op.messageLine, "Calibrate OK");
  }
}

TEST_P(BenchInstrumentsTest, TheFrontMeasuresThePatchTheMonitorShows) {
  Start();
  op.answers = {Operator::kAnswerYes};
  station.CreateCaAnalyzer();
  ASSERT_EQ(station.InstrumentCalibration(), 1);
  if (IsI1()) {
    ASSERT_EQ(station.DeviceSet().I1()->SetOption("ColorSpaceDescription.Type", "CIExyY"), 0);
  }
  ASSERT_EQ(station.AnalyzerBeginRemote().code, 0);
  ASSERT_EQ(station.Link()->ShowPattern(255, 0, 0), 0);
  double x = 0, y = 0, Y = 0;
  ASSERT_EQ(station.AnalyzerMeasure(x, y, Y).code, 0);
  station.AnalyzerEndRemote();
  const auto expected = Numbers(bench->Request("measure").at(0));
  EXPECT_NEAR(x, expected[0], 1e-4);
  EXPECT_NEAR(y, expected[1], 1e-4);
  EXPECT_NEAR(Y, expected[2], 1e-2 * expected[2]);
  EXPECT_NEAR(x, 0.64, 5e-3) << "the red primary, with a little black level mixed in";
}

TEST_P(BenchInstrumentsTest, AutoCompletesAndTheMonitorHoldsWhatTheFileHolds) {
  Start();
  op.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  op.dialogAnswers = {dir.File("auto.txt")};
  station.AutoButtonClick();
  ASSERT_FALSE(op.boxes.empty());
  EXPECT_EQ(op.boxes.back().text.rfind("Auto\t\tComplete.\nMaxBright\t\t 2", 0), 0u)
      << op.boxes.back().text;
  EXPECT_EQ(op.boxes.back().flags, 0);

  CalibrationData saved;
  ASSERT_EQ(calibration_file::Read(dir.File("auto.txt"), saved),
            calibration_file::ReadResult::Loaded);
  // The monitor gets Y in 7 characters, cut rather than rounded above 100; the file rounds Y to
  // three decimals; x and y are four decimals in both.
  constexpr double kYTolerance = 1.5e-3;
  auto state = bench->State();
  const auto primaries = Numbers(state["primaries"]);
  ASSERT_EQ(primaries.size(), 9u);
  for (int p = 0; p < 3; ++p) {
    EXPECT_NEAR(primaries[p], saved.Primaries[p].Y, kYTolerance);
    EXPECT_NEAR(primaries[3 + p], saved.Primaries[p].x, 1e-6);
    EXPECT_NEAR(primaries[6 + p], saved.Primaries[p].y, 1e-6);
  }
  const auto greyY = Numbers(state["grey0"]), greyX = Numbers(state["grey1"]),
             greyy = Numbers(state["grey2"]);
  ASSERT_EQ(greyY.size(), 256u);
  for (int n = 0; n < 256; ++n) {
    EXPECT_NEAR(greyY[n], saved.YxyTable[n].Y, kYTolerance) << n;
    EXPECT_NEAR(greyX[n], saved.YxyTable[n].x, 1e-6) << n;
    EXPECT_NEAR(greyy[n], saved.YxyTable[n].y, 1e-6) << n;
  }
  EXPECT_EQ(state["zbl"], "100");
}

TEST_P(BenchInstrumentsTest, TintedGreysGiveTheRgbNgReport) {
  Start({"--tint-x", "0.05"});
  op.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  op.dialogAnswers = {dir.File("tinted.txt")};
  station.AutoButtonClick();
  ASSERT_FALSE(op.boxes.empty());
  EXPECT_EQ(op.boxes.back().text.substr(0, 20), "Auto\t\tNG\n RGBch\t\tNG\n");
  EXPECT_EQ(op.boxes.back().flags, 16);
}

TEST_P(BenchInstrumentsTest, ADimPanelGivesTheMaxBrightBox) {
  Start({"--white", "200"});
  op.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  station.AutoButtonClick();
  ASSERT_FALSE(op.boxes.empty());
  EXPECT_EQ(op.boxes.back().caption, "MaxBright");
  EXPECT_EQ(op.boxes.back().text, "QX-7MR520\nMaxBright\t 200\tNG");
  EXPECT_TRUE(op.dialogFilters.empty());
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
    station.ZeroCalButtonClick();
    EXPECT_EQ(op.boxes, (std::vector<Box>{{"Not Connect!  Restart Application", "ERROR: ", 0}}));
    EXPECT_TRUE(op.locked);
  } else if (model == "i1-Pro") {
    Start({"--fault", "eyeone:Calibrate fail"});
    op.answers = {Operator::kAnswerYes};
    station.ZeroCalButtonClick();
    EXPECT_EQ(op.messageLine, "Calibrate NG");
    EXPECT_EQ(op.boxes.back(), (Box{"Complete.", "0-Cal.", 0}));
    op.answers = {Operator::kAnswerNo};
    op.boxes.clear();
    station.ZeroCalButtonClick();
    EXPECT_EQ(op.boxes.back(), (Box{"0-Cal. Abort", "Abort", 0}));
    op.answers = {Operator::kAnswerYes, Operator::kAnswerNo};  // calibrate, then not on the screen
    op.boxes.clear();
    station.AutoButtonClick();
    EXPECT_EQ(op.boxes.back(), (Box{"Auto Calibration Abort", "Abort", 0}));
    EXPECT_TRUE(bench->Log().empty()) << "the monitor is not queried";
    ::setenv("VELLUMA_EYEONE", "/nonexistent/EyeOne.so", 1);
    station.DestroyDevices();
    station.CreateDevices();
    op.boxes.clear();
    station.ZeroCalButtonClick();
    EXPECT_EQ(op.messageLine, "Lib wasn't loaded");
    EXPECT_EQ(op.boxes, (std::vector<Box>{{"0-Cal. Abort", "Abort", 0}}));
  } else if (model == "PR-655") {
    Start({"--fault", "pr655:M1 reply -8"});
    op.dialogAnswers = {dir.File("weak.txt")};
    station.AutoButtonClick();
    EXPECT_EQ(op.boxes.front(), (Box{"Analyzer: Weak light   insufficient signal.", "Auto", 16}));
  } else {
    Start();
    station.ZeroCalButtonClick();
    EXPECT_EQ(op.boxes, (std::vector<Box>{{"Analyzer: Error", "0-Cal.", 16}}));
    EXPECT_FALSE(op.locked);
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
