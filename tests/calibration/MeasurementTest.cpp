// Patch measurement, the measurement sequence and AUTO on the station, in virtual time: a scripted
// operator, a scripted CA instrument and the bench's monitor.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "calibration/Station.h"
#include "tests/support/CaBenchRig.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using Box = test::ScriptedOperator::Box;

using test::kAutoGrey0;
using test::kAutoWhite;
using test::kSequenceGrey0;

class MeasurementTest : public test::CaBenchRig {};

// Every patch of the sequence measured and written into the monitor.
bool Complete(const MeasurementRun::SequenceResult& sequence) {
  return sequence.outcome == MeasurementRun::SequenceOutcome::Complete;
}

TEST_F(MeasurementTest, APatchCarriesTheOffsetsAndIsShownAtOnce) {
  op_.offsets[0] = "+0.0050";
  op_.offsets[1] = "-0.0030";
  reading_ = [](int, test::CaScript& s) {
    s.sx = 0.300f;
    s.sy = 0.310f;
    s.lv = 123.4567f;
  };
  XyYValue result;
  ASSERT_TRUE(seam_.Measurement().MeasurePatch(10, 20, 30, "R", "Measurement", result).Measured());
  EXPECT_NEAR(result.x, 0.305, 1e-7);
  EXPECT_NEAR(result.y, 0.307, 1e-7);
  EXPECT_EQ(op_.yxy[0], "    0.3050");
  EXPECT_EQ(op_.yxy[1], "    0.3070");
  EXPECT_EQ(op_.yxy[2], "   123.457");
  EXPECT_EQ(op_.yxy[3], "R");
  EXPECT_EQ(bench_.State()["pattern"], "10 20 30");
  EXPECT_EQ(clock_.Pauses(), (std::vector<int>{125, 100}));
  op_.offsets[0] = "-";
  op_.offsets[1] = "";
  ASSERT_TRUE(seam_.Measurement().MeasurePatch(0, 0, 0, "0", "Measurement", result).Measured());
  EXPECT_NEAR(result.x, 0.300, 1e-7) << "a lone sign counts as 0";
}

TEST_F(MeasurementTest, AFailedPatchReportsUnderTheCallersCaptionAndWritesNothing) {
  XyYValue result{9, 9, 9};
  bench_.AddFault("OUT silent times 1");
  EXPECT_FALSE(seam_.Measurement().MeasurePatch(1, 1, 1, "1", "Auto", result).Measured());
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Monitor: Communication Error", "Auto", 16}}));
  EXPECT_EQ(script_.measurements, 0) << "no instrument activity";
  EXPECT_EQ(op_.yxy[3], "");
  failAt_ = 0;
  EXPECT_FALSE(seam_.Measurement().MeasurePatch(1, 1, 1, "1", "Measurement", result).Measured());
  EXPECT_EQ(op_.boxes.back(), (Box{"Analyzer: PROBE ERROR(E26)", "Measurement", 16}));
  EXPECT_EQ(result, (XyYValue{9, 9, 9}));
}

TEST_F(MeasurementTest, TheSequenceMeasuresWritesAndReportsItsProgress) {
  reading_ = [](int index, test::CaScript& s) { s.lv = static_cast<float>(index); };
  ASSERT_TRUE(Complete(seam_.Measurement().MeasureSequence()));
  EXPECT_EQ(station_.Held().calibration.primaries[1].Y, 1.0);
  EXPECT_EQ(station_.Held().calibration.greyLevels[255].Y, 255.0 + kSequenceGrey0);
  ASSERT_EQ(op_.progress.size(), 258u);
  EXPECT_EQ(op_.progressTotal, 256);
  EXPECT_EQ(op_.progress[0], 0) << "the bar begins empty";
  EXPECT_EQ(op_.progress[1], 1) << "after level 0";
  EXPECT_EQ(op_.progress[128], 128) << "after level 127";
  EXPECT_EQ(op_.progress[256], 256) << "after level 255";
  EXPECT_EQ(op_.progress[257], -1) << "cleared at the end";
  EXPECT_EQ(op_.pumps, 256);
  EXPECT_EQ(BenchValues("primaries").size(), 9u);
  EXPECT_EQ(BenchValues("grey0").back(), "258.0000");
  EXPECT_EQ(BenchValues("grey2").size(), 256u);
  EXPECT_EQ(bench_.State()["pattern"], "0 0 0");
  EXPECT_EQ(script_.calls.back(), "Ca.36 0");
  const auto log = bench_.Log();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& c) { return c.rfind("OUT", 0) == 0; }),
            263);
}

TEST_F(MeasurementTest, AnInstrumentFailureAtGreyLevel60) {
  failAt_ = kSequenceGrey0 + 60;
  reading_ = [](int index, test::CaScript& s) { s.lv = static_cast<float>(index); };
  EXPECT_FALSE(Complete(seam_.Measurement().MeasureSequence()));
  EXPECT_EQ(station_.Held().calibration.greyLevels[59].Y, 59.0 + kSequenceGrey0);
  EXPECT_EQ(station_.Held().calibration.greyLevels[60].Y, 0.0);
  EXPECT_EQ(script_.calls.back(), "Ca.36 0") << "remote mode left";
  EXPECT_EQ(BenchValues("primaries").size(), 9u);
  EXPECT_EQ(bench_.State()["grey0"], "none");
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Analyzer: PROBE ERROR(E26)", "Measurement", 16}}));
}

TEST_F(MeasurementTest, AGreyRampRefusedOnChannel2) {
  bench_.AddFault("G$M:WDW2 reply NAK");
  EXPECT_FALSE(Complete(seam_.Measurement().MeasureSequence()));
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Monitor: NACK", "PC->MONITOR", 16}}));
  EXPECT_NE(bench_.State()["grey1"], "none");
  EXPECT_EQ(bench_.State()["grey2"], "none");
  EXPECT_NE(script_.calls.back(), "Ca.36 0") << "the instrument stays in remote mode";
}

class AutoTest : public MeasurementTest {
 protected:
  void SetUp() override {
    MeasurementTest::SetUp();
    op_.dialogAnswers = {dir_.File("auto.txt")};
  }
  std::string Report() const { return op_.boxes.empty() ? "" : op_.boxes.back().text; }
};

TEST_F(AutoTest, ACompleteRunSavesWritesAndReports) {
  reading_ = [](int index, test::CaScript& s) {
    if (index == kAutoGrey0 + 255) s.lv = 1234.9f;
  };
  station_.RunAuto();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Auto\t\tComplete.\nMaxBright\t\t1234", "Auto", 0}}));
  EXPECT_EQ(station_.Held().calibrationReady, 1);
  EXPECT_EQ(op_.status[2], dir_.File("auto.txt"));
  EXPECT_EQ(op_.status[0], "");
  EXPECT_EQ(op_.messageLine, "Auto Calibration Complete");
  EXPECT_FALSE(op_.locked);
  EXPECT_EQ(bench_.State()["zbl"], "100");
  EXPECT_EQ(op_.dialogFilters,
            std::vector<std::string>{"text File (*.txt)|*.txt|All Files(*.*)|*.*"});
  EXPECT_NE(std::find(op_.calls.begin(), op_.calls.end(),
                      "SaveDialog text File (*.txt)|*.txt|All Files(*.*)|*.* .txt"),
            op_.calls.end())
      << "the proposed name is the marker";
  std::ifstream saved(dir_.File("auto.txt"));
  EXPECT_TRUE(saved.good());
}

TEST_F(AutoTest, ADimWhiteEndsWithMaxBrightBeforeTheSaveDialog) {
  reading_ = [](int index, test::CaScript& s) {
    if (index == kAutoWhite) s.lv = 224.99f;
  };
  station_.RunAuto();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"QX-7MR520\nMaxBright\t 224\tNG", "MaxBright", 16}}));
  EXPECT_TRUE(op_.dialogFilters.empty());
  EXPECT_EQ(bench_.State()["zbl"], "100") << "the panel gets its normal brightness back";
  EXPECT_FALSE(op_.locked);
  EXPECT_EQ(station_.Held().calibrationReady, 0);
}

TEST_F(AutoTest, AWhiteOfExactly225PassesAndACancelledSaveEndsQuietly) {
  reading_ = [](int index, test::CaScript& s) {
    if (index == kAutoWhite) s.lv = 225.0f;
  };
  op_.dialogAnswers.clear();
  seam_.HoldCalibrationData({});  // a file opened before: its grey table is gone now
  station_.RunAuto();
  EXPECT_TRUE(op_.boxes.empty());
  EXPECT_EQ(op_.dialogFilters.size(), 1u);
  EXPECT_EQ(op_.status[2], ".txt");
  EXPECT_EQ(station_.Held().calibrationReady, 0);
  EXPECT_FALSE(op_.locked);
}

TEST_F(AutoTest, LevelsBelow50AreNeverTested) {
  reading_ = [](int index, test::CaScript& s) {
    if (index >= kAutoGrey0 && index < kAutoGrey0 + 50) s.sx = 0.1f;
    if (index == kAutoGrey0 + 255) s.lv = 12.7f;
  };
  station_.RunAuto();
  EXPECT_EQ(Report(), "Auto\t\tComplete.\nMaxBright\t\t  12");
}

TEST_F(AutoTest, ALevelOutsideTheWindowAddsTheRgbLine) {
  reading_ = [](int index, test::CaScript& s) {
    if (index == kAutoGrey0 + 200) s.sx = 0.2399f;
  };
  station_.RunAuto();
  EXPECT_EQ(op_.boxes.back(), (Box{"Auto\t\tNG\n RGBch\t\tNG\nMaxBright\t\t 250", "Auto", 16}));
  EXPECT_EQ(station_.Held().calibrationReady, 1) << "set by every run that reaches its report";
}

TEST_F(AutoTest, TheOffsetsAreRemovedBeforeTheCheck) {
  op_.offsets[0] = "+0.0100";
  reading_ = [](int, test::CaScript& s) { s.sx = 0.345f; };
  station_.RunAuto();
  EXPECT_NEAR(station_.Held().calibration.greyLevels[100].x, 0.355, 1e-6);
  EXPECT_EQ(Report(), "Auto\t\tComplete.\nMaxBright\t\t 250");
}

TEST_F(AutoTest, AnotherModelOnTheLinkIsReported) {
  BenchProcess other({"--model", "QX-7MR521", "--reply-delay", "10"});
  settings_.WriteStringSetting("MonitorPort", other.MonitorDevice());
  station_.CloseDevices();
  station_.OpenDevices();
  station_.RunAuto();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"monitor: QX-7MR521", "Auto", 16}}));
  EXPECT_EQ(script_.measurements, 0);
}

TEST_F(AutoTest, AMeasurementThatStoppedKeepsTheChosenFileAndArmsNothing) {
  dir_.Write("auto.txt", "yesterday's calibration");
  seam_.HoldCalibrationData({});  // a file opened before
  failAt_ = kAutoGrey0 + 60;
  station_.RunAuto();
  ASSERT_EQ(op_.boxes.size(), 2u);
  EXPECT_EQ(op_.boxes[1].text, "Auto\t\tNG\n RGBch\t\tNG\nMaxBright\t\t   0");
  EXPECT_EQ(dir_.Read("auto.txt"), "yesterday's calibration");
  EXPECT_EQ(station_.Held().calibrationReady, 0) << "zeros must not reach the monitor";
  EXPECT_EQ(op_.messageLine.find("Complete"), std::string::npos) << op_.messageLine;
  EXPECT_EQ(bench_.State()["zbl"], "100");
  station_.SendCalibration();
  EXPECT_EQ(op_.boxes.back(), (Box{"NOT FILE LOAD", "PC->MONITOR", 16}));
}

TEST_F(AutoTest, AMeasurementTheMonitorCannotTakeStopsTheRunWithItsReason) {
  dir_.Write("auto.txt", "kept");
  reading_ = [](int index, test::CaScript& s) {
    if (index == kAutoGrey0 + 100) s.lv = 1e30f;
  };
  station_.RunAuto();
  ASSERT_EQ(op_.boxes.size(), 2u);
  EXPECT_EQ(op_.boxes[0], (Box{"Measurement: Y of grey level 100 is 1e+30, which the monitor "
                               "cannot take",
                               "Measurement", 16}));
  EXPECT_EQ(op_.boxes[1].caption, "Auto");
  EXPECT_EQ(op_.boxes[1].text.substr(0, 8), "Auto\t\tNG");
  EXPECT_EQ(bench_.State()["grey0"], "none") << "nothing of the ramp reaches the monitor";
  EXPECT_EQ(dir_.Read("auto.txt"), "kept");
  EXPECT_EQ(station_.Held().calibrationReady, 0);
}

TEST_F(AutoTest, EverythingMeasuredButARefusedGreyRampStillSavesAndReportsNg) {
  bench_.AddFault("G$M:WDW2 er0");
  station_.RunAuto();
  ASSERT_EQ(op_.boxes.size(), 2u);
  EXPECT_EQ(op_.boxes[0], (Box{"Monitor: Checksum Error", "PC->MONITOR", 16}));
  EXPECT_EQ(op_.boxes[1].text, "Auto\t\tNG\nMaxBright\t\t 250");
  EXPECT_NE(dir_.Read("auto.txt").find("255\t250.000\t0.3127\t0.3290"), std::string::npos);
  EXPECT_EQ(station_.Held().calibrationReady, 1) << "the measured set can be sent again";
  EXPECT_EQ(op_.messageLine, "Auto Calibration Complete");
}

TEST_F(AutoTest, EveryStopAfterTheMeasuringBrightnessGivesItBackUnlessTheMonitorFellSilent) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    const char* zbl;
  } cases[] = {
      {"the save dialog cancelled", [this] { op_.dialogAnswers.clear(); }, "100"},
      {"the instrument failing on white", [this] { failAt_ = kAutoWhite; }, "100"},
      {"the instrument failing on black", [this] { failAt_ = kAutoWhite + 1; }, "100"},
      {"the monitor refusing the white patch", [this] { bench_.AddFault("OUT er0"); }, "100"},
      {"the monitor silent on the white patch", [this] { bench_.AddFault("OUT silent"); }, "200"},
  };
  for (const Case& c : cases) {
    bench_.Clear();
    op_.dialogAnswers = {dir_.File("auto.txt")};
    failAt_ = -1;
    script_.measurements = 0;
    c.arrange();
    station_.RunAuto();
    EXPECT_EQ(bench_.State()["zbl"], c.zbl) << c.what;
    EXPECT_FALSE(op_.locked) << c.what;
    const auto log = bench_.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "ZBL:100"), c.zbl == std::string("100")) << c.what;
  }
}

TEST_F(AutoTest, ACaSetUpWithoutAnInstrumentEndsLocked) {
  station_.CloseDevices();
  station_.OpenDevices();
  script_.casResult = -1;
  station_.RunAuto();
  EXPECT_TRUE(op_.locked);
  EXPECT_TRUE(bench_.Log().empty()) << "the monitor is not queried";
}

}  // namespace
}  // namespace velluma
