#include <gtest/gtest.h>

#include "calibration/Station.h"
#include "platform/RegistryError.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::PtyPeer;
using test::ScriptedOperator;

class StationTest : public test::StationRig<> {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    UseMonitorPort(peer_.DevicePath());
  }

  void AnswerModel(const std::string& model) {
    peer_.ReplyPlain("MCO");
    peer_.ReplyPlain(model);
    peer_.ReplyPlain("MCO");
  }

  PtyPeer peer_;
};

TEST_F(StationTest, StartUpWithTheMonitorShowsItsModelAndAcceptsDrops) {
  AnswerModel("QX-7MR520");
  station_.Start();
  EXPECT_EQ(op_.modelName, "QX-7MR520");
  EXPECT_TRUE(op_.dropsAccepted);
  EXPECT_TRUE(op_.boxes.empty());
  EXPECT_EQ(op_.status[0], "");
  EXPECT_EQ(op_.status[2], "Untitled.txt");
  EXPECT_EQ(op_.activeTab, Operator::kCalibrationTab);
  EXPECT_EQ(peer_.Frames(), (std::vector<std::string>{"MCO:1", "QID", "MCO:0"}));
  const std::vector<std::string> order{
      "RefreshFilmGammaTable", "RefreshLutTable",        "RefreshCalibrationTables",
      "ShowStartPages",        "Status0 Busy (repaint)", "Status0 ",
      "Status2 Untitled.txt",  "ModelName QX-7MR520",    "AcceptDroppedFiles"};
  EXPECT_EQ(op_.calls, order);
  ASSERT_TRUE(seam_.Link());
  EXPECT_FALSE(seam_.DeviceSet().Ca() || seam_.DeviceSet().I1() || seam_.DeviceSet().Pr());
}

TEST_F(StationTest, AnotherModelOrASilentMonitorLeavesTheLabelEmptyAndDropsRefused) {
  for (const char* answer : {"QX-7MR52", "qx-7mr520", ""}) {
    PtyPeer device;
    settings_.WriteStringSetting("MonitorPort", device.DevicePath());
    device.ReplyPlain("MCO");
    if (*answer)
      device.ReplyPlain(answer);
    else
      device.Silence();
    device.ReplyPlain("MCO");
    ScriptedOperator quiet;
    Station other(quiet, settings_, clock_);
    other.Start();
    EXPECT_EQ(quiet.modelName, "") << answer;
    EXPECT_FALSE(quiet.dropsAccepted) << answer;
    EXPECT_TRUE(quiet.boxes.empty()) << answer;
    EXPECT_EQ(quiet.status[2], "Untitled.txt");
  }
}

TEST_F(StationTest, AMissingPortStartsWithoutAModelAndWithoutAMessage) {
  settings_.WriteStringSetting("MonitorPort", dir_.File("no-port"));
  station_.Start();
  EXPECT_EQ(op_.modelName, "");
  EXPECT_FALSE(op_.dropsAccepted);
  EXPECT_TRUE(op_.boxes.empty());
  ASSERT_TRUE(seam_.Link());
  EXPECT_FALSE(seam_.Link()->Port().IsOpen());
}

TEST_F(StationTest, StartUpSelectsTheStoredMemoriesOrKeepsTheFirst) {
  settings_.WriteStringSetting("LookUpTableSendTo", "USER3");
  settings_.WriteStringSetting("FilmGammaSendTo", "user2");
  AnswerModel("QX-7MR520");
  station_.Start();
  EXPECT_EQ(op_.lutMemory, 2);
  EXPECT_EQ(op_.filmGammaMemory, 0);
}

TEST_F(StationTest, AnyMonitorTypeButRs232cGivesTheAddressedLinkWithoutReadingTheSpeed) {
  settings_.WriteStringSetting("MonitorType", "RS-422");
  settings_.WriteStringSetting("MonitorSpeed", "fast");  // an integer read of it would fail
  settings_.WriteIntSetting("MonitorId", 0x105);
  AnswerModel("QX-7MR520");
  station_.Start();
  EXPECT_EQ(LCD::LinkKind(), 1);
  EXPECT_EQ(seam_.Link()->Port().Requested().parity, Parity::Even);
  EXPECT_EQ(peer_.Received().at(1), 0x05);  // the id byte after STX
  EXPECT_EQ(op_.modelName, "QX-7MR520");
  settings_.WriteStringSetting("MonitorType", "RS-232C");
  EXPECT_THROW(station_.OpenDevices(), RegistryError);
}

TEST_F(StationTest, TheConfiguredInstrumentDecidesWhichDriverStartUpCreates) {
  struct Case {
    const char* model;
    bool i1, pr;
  } cases[] = {{"i1-Pro", true, false},
               {"PR-655", false, true},
               {"CA-310", false, false},
               {"ca-210", false, false},
               {"NoConnect", false, false}};
  for (const Case& c : cases) {
    settings_.WriteStringSetting("AnalizerModel", c.model);
    station_.CloseDevices();
    station_.OpenDevices();
    EXPECT_EQ(bool(seam_.DeviceSet().I1()), c.i1) << c.model;
    EXPECT_EQ(bool(seam_.DeviceSet().Pr()), c.pr) << c.model;
    EXPECT_FALSE(seam_.DeviceSet().Ca()) << c.model;
  }
  EXPECT_EQ(seam_.DeviceSet().Pr(), nullptr);
}

TEST_F(StationTest, ExitAsksAndOnlyOkEndsTheSessionAndDeletesTheDevices) {
  settings_.WriteStringSetting("AnalizerModel", "PR-655");
  AnswerModel("QX-7MR520");
  station_.Start();
  op_.answers = {Operator::kAnswerCancel, Operator::kAnswerOk};
  EXPECT_FALSE(station_.Exit());
  EXPECT_TRUE(seam_.Link() && seam_.DeviceSet().Pr());
  EXPECT_TRUE(station_.Exit());
  EXPECT_FALSE(seam_.Link() || seam_.DeviceSet().Pr());
  const ScriptedOperator::Box exit{"EXIT?", "Application", 17};
  EXPECT_EQ(op_.boxes, (std::vector<ScriptedOperator::Box>{exit, exit}));
}

TEST_F(StationTest, EachTabKeepsItsOwnFileName) {
  AnswerModel("QX-7MR520");
  station_.Start();
  op_.ShowMessageLine("measuring");
  station_.ShowTab(Operator::kLookUpTableTab);
  EXPECT_EQ(op_.status[2], "");
  EXPECT_EQ(op_.messageLine, "");
  op_.activeTab = Operator::kLookUpTableTab;
  station_.OpenFiles({"/luts/a.cub"});  // the name stays, though the file does not load
  station_.ShowTab(Operator::kCalibrationTab);
  EXPECT_EQ(op_.status[2], "Untitled.txt");
  station_.ShowTab(Operator::kLookUpTableTab);
  EXPECT_EQ(op_.status[2], "/luts/a.cub");
}

TEST_F(StationTest, CommandsThatReplaceDevicesOrDataDoNotActWhileAProcedureRuns) {
  AnswerModel("QX-7MR520");
  station_.Start();
  {
    test::StationSeam::RunningProcedure running(station_);
    { test::StationSeam::RunningProcedure nested(station_); }
    EXPECT_TRUE(op_.procedureRunning) << "a nested procedure must not end the outer one";
    EXPECT_FALSE(station_.Exit());
    EXPECT_TRUE(op_.boxes.empty());
    station_.OpenFiles({"/tmp/a.txt"});
    EXPECT_EQ(op_.status[2], "Untitled.txt");
  }
  EXPECT_FALSE(op_.procedureRunning);
  const std::string first = dir_.File("a.txt");
  ASSERT_TRUE(seam_.Files().WriteCalibrationFile(first));
  station_.OpenFiles({first, "/tmp/b.txt", "/tmp/c.txt"});
  EXPECT_EQ(op_.status[2], first);
}

TEST_F(StationTest, ASettingThatCannotBeReadAfterTheDialogLeavesALinkThatFails) {
  AnswerModel("QX-7MR520");
  station_.Start();
  op_.whilePropertyDialog = [this] { settings_.WriteStringSetting("MonitorId", "one"); };
  EXPECT_THROW(station_.ChangeSettings(), RegistryError);
  ASSERT_TRUE(seam_.Link());
  EXPECT_EQ(seam_.Link()->ShowPattern(0, 0, 0), LinkResult::CommunicationError);
}

}  // namespace
}  // namespace velluma
