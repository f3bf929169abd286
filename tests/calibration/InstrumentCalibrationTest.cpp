#include <gtest/gtest.h>

#include <cstdlib>

#include "calibration/Station.h"
#include "platform/SharedLibrary.h"
#include "tests/support/Environment.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/ScriptedCaServer.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using Box = test::ScriptedOperator::Box;

// 0-CAL. on the station with a scripted operator and scripted instruments.
class InstrumentCalibrationTest : public test::StationRig<> {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    UseMonitorPort(dir_.File("no-monitor"));
    seam_.DeviceSet().UseCaServer(caServer_);
  }

  void UseModel(const std::string& model) {
    settings_.WriteStringSetting("AnalizerModel", model);
    station_.CloseDevices();
    station_.OpenDevices();
  }

  bool EndedUnlocked() const {
    return !op_.locked && op_.status[0].empty() && !op_.procedureRunning;
  }

  test::CaScript script_;
  CaServer caServer_{test::MakeScriptedCaServer(script_)};
};

TEST_F(InstrumentCalibrationTest, WithoutAnInstrumentTheProcedureReportsAnalyzerError) {
  UseModel("NoConnect");
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Analyzer: Error", "0-Cal.", 16}}));
  EXPECT_TRUE(EndedUnlocked());
  EXPECT_EQ(op_.calls.front(), "ProcedureRunning");
  EXPECT_EQ(op_.calls[1], "LockControls");
  EXPECT_EQ(op_.calls[2], "Status0 0-Cal (repaint)");
}

TEST_F(InstrumentCalibrationTest, ACa310IsCreatedOnFirstUseAndZeroCalibratedInRemoteMode) {
  UseModel("CA-310");
  EXPECT_FALSE(seam_.DeviceSet().Ca());
  station_.ZeroCalibrate();
  ASSERT_TRUE(seam_.DeviceSet().Ca());
  EXPECT_EQ(seam_.DeviceSet().Ca()->Kind(), 2);
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Complete.", "0-Cal.", 0}}));
  EXPECT_TRUE(EndedUnlocked());
  const std::vector<std::string> tail(script_.calls.end() - 3, script_.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Ca.36 1", "Ca.22", "Ca.36 0"}));

  CaAnalyzer* first = seam_.DeviceSet().Ca();
  station_.ZeroCalibrate();
  EXPECT_EQ(seam_.DeviceSet().Ca(), first) << "kept for the next use";
}

TEST_F(InstrumentCalibrationTest, ARefusedZeroCalibrationIsNamedAndRemoteModeLeft) {
  UseModel("CA-310");
  script_.zeroResult = static_cast<std::int32_t>(0x8004019C);
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Analyzer: PROBE ERROR(E26)", "0-Cal.", 16}}));
  EXPECT_EQ(script_.calls.back(), "Ca.36 0");
  EXPECT_TRUE(EndedUnlocked());
}

TEST_F(InstrumentCalibrationTest, ACaSetUpWithoutAnInstrumentLeavesTheControlsLocked) {
  UseModel("CA-210");
  script_.casResult = -1;
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Not Connect!  Restart Application", "ERROR: ", 0}}));
  EXPECT_TRUE(op_.locked);
  EXPECT_EQ(op_.status[0], "0-Cal");
  EXPECT_EQ(std::count(script_.calls.begin(), script_.calls.end(), "Ca.22"), 0);
}

TEST_F(InstrumentCalibrationTest, AfterTheSettingsTheNextUseCreatesANewCaDriver) {
  UseModel("CA-210");
  station_.ZeroCalibrate();
  UseModel("CA-210");  // the settings command deletes every device
  EXPECT_FALSE(seam_.DeviceSet().Ca());
  script_.calls.clear();
  station_.ZeroCalibrate();
  ASSERT_TRUE(seam_.DeviceSet().Ca());
  EXPECT_EQ(script_.calls.front(), "SetConfiguration 1 1 0 9600");
}

TEST_F(InstrumentCalibrationTest, AServerThatCannotBeHadEscapesWithTheControlsLocked) {
  UseModel("CA-310");
  CaServer unavailable;
  test::SetEnvironment("VELLUMA_CA_SERVER", "/nonexistent/ca200srvr.so");
  seam_.DeviceSet().UseCaServer(unavailable);
  EXPECT_THROW(station_.ZeroCalibrate(), CaServerUnavailable);
  test::UnsetEnvironment("VELLUMA_CA_SERVER");
  EXPECT_TRUE(op_.locked);
  EXPECT_FALSE(seam_.DeviceSet().Ca());
  EXPECT_FALSE(op_.procedureRunning);
}

class I1CalibrationTest : public InstrumentCalibrationTest {
 protected:
  void SetUp() override {
    InstrumentCalibrationTest::SetUp();
    test::SetEnvironment("VELLUMA_EYEONE", SCRIPTED_EYEONE_PATH);
    ASSERT_TRUE(library_.Load(SCRIPTED_EYEONE_PATH));
    set_ =
        reinterpret_cast<void (*)(const char*, std::int32_t)>(library_.Symbol("ScriptedEyeOneSet"));
    reinterpret_cast<void (*)()>(library_.Symbol("ScriptedEyeOneReset"))();
    UseModel("i1-Pro");
  }
  void TearDown() override {
    InstrumentCalibrationTest::TearDown();
    test::UnsetEnvironment("VELLUMA_EYEONE");
  }

  SharedLibrary library_;
  void (*set_)(const char*, std::int32_t) = nullptr;
};

TEST_F(I1CalibrationTest, ConnectedAndCalibrated) {
  op_.answers = {Operator::kAnswerYes};
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Please set i1Pro to Calibration Plate\nCalibrate Start?",
                                          "Calibration", 36},
                                         {"Complete.", "0-Cal.", 0}}));
  EXPECT_EQ(op_.messageLine, "Calibrate OK");
  EXPECT_TRUE(EndedUnlocked());
}

TEST_F(I1CalibrationTest, ARefusedCalibrationStillCompletes) {
  set_("Calibrate", 3);
  op_.answers = {Operator::kAnswerYes};
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.messageLine, "Calibrate NG");
  EXPECT_EQ(op_.boxes.back(), (Box{"Complete.", "0-Cal.", 0}));
}

TEST_F(I1CalibrationTest, ARefusedOptionSkipsTheCalibrationSilently) {
  set_("SetOption MeasurementMode=SingleEmission", 1);
  op_.answers = {Operator::kAnswerYes};
  EXPECT_TRUE(seam_.Preparation().CalibrateInstrument().ready);
  EXPECT_EQ(op_.messageLine, "EyeOne Connected");
}

TEST_F(I1CalibrationTest, NoAndNotConnectedAbort) {
  op_.answers = {Operator::kAnswerNo};
  EXPECT_FALSE(seam_.Preparation().CalibrateInstrument().ready);
  EXPECT_EQ(op_.boxes.back(), (Box{"0-Cal. Abort", "Abort", 0}));
  set_("IsConnected", 1);
  op_.boxes.clear();
  EXPECT_FALSE(seam_.Preparation().CalibrateInstrument().ready);
  EXPECT_EQ(op_.messageLine, "EyeOne Not Connected");
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"0-Cal. Abort", "Abort", 0}}));
}

TEST_F(I1CalibrationTest, WithoutTheLibrary) {
  test::SetEnvironment("VELLUMA_EYEONE", "/nonexistent/EyeOne.so");
  UseModel("i1-Pro");
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.messageLine, "Lib wasn't loaded");
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"0-Cal. Abort", "Abort", 0}}));
  EXPECT_TRUE(EndedUnlocked());
}

TEST_F(InstrumentCalibrationTest, ThePr655IsWokenSetUpAndReleased) {
  test::PtyPeer pr(test::PtyPeer::Framing::Lines);
  settings_.WriteStringSetting("AnalizerPort", pr.DevicePath());
  UseModel("PR-655");
  pr.Silence();
  pr.Silence();
  for (int i = 0; i < 4; ++i) pr.Reply(test::Bytes("0000\r\n"));
  station_.ZeroCalibrate();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Complete.", "0-Cal.", 0}}));
  ASSERT_TRUE(pr.WaitForFrames(7));
  EXPECT_EQ(pr.Frames(), (std::vector<std::string>{"", "PHOTO", "SE0", "SK60", "SS3", "SU1", "Q"}));
}

TEST_F(InstrumentCalibrationTest, OffsetEditsKeepCheckedTextsAndRefuseTheRest) {
  op_.offsets[0] = "0.05";
  station_.CheckOffsetEdit(0);
  EXPECT_EQ(op_.offsets[0], "+0.0500");
  op_.offsets[1] = "0.2";
  station_.CheckOffsetEdit(1);
  EXPECT_EQ(op_.offsets[1], "");
  EXPECT_EQ(
      op_.boxes,
      (std::vector<Box>{{"Input value ERROR!\n-0.0999 < value < 0.0999", "AnalyzerOffset", 16}}));
}

}  // namespace
}  // namespace velluma
