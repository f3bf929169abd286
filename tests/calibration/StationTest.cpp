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
    UseMonitorPort(peer.DevicePath());
  }

  void AnswerModel(const std::string& model) {
    peer.ReplyPlain("MCO");
    peer.ReplyPlain(model);
    peer.ReplyPlain("MCO");
  }

  PtyPeer peer;
};

TEST_F(StationTest, StartUpWithTheMonitorShowsItsModelAndAcceptsDrops) {
  AnswerModel("QX-7MR520");
  station.Start();
  EXPECT_EQ(op.modelName, "QX-7MR520");
  EXPECT_TRUE(op.dropsAccepted);
  EXPECT_TRUE(op.boxes.empty());
  EXPECT_EQ(op.status[0], "");
  EXPECT_EQ(op.status[2], "Untitled.txt");
  EXPECT_EQ(op.activeTab, Operator::kCalibrationTab);
  EXPECT_EQ(peer.Frames(), (std::vector<std::string>{"MCO:1", "QID", "MCO:0"}));
  const std::vector<std::string> order{
      "RefreshFilmGammaTable", "RefreshLutTable",        "RefreshCalibrationTables",
      "ShowStartPages",        "Status0 Busy (repaint)", "Status0 ",
      "Status2 Untitled.txt",  "ModelName QX-7MR520",    "AcceptDroppedFiles"};
  EXPECT_EQ(op.calls, order);
  ASSERT_TRUE(seam.Link());
  EXPECT_FALSE(seam.DeviceSet().Ca() || seam.DeviceSet().I1() || seam.DeviceSet().Pr());
}

TEST_F(StationTest, AnotherModelOrASilentMonitorLeavesTheLabelEmptyAndDropsRefused) {
  for (const char* answer : {"QX-7MR52", "qx-7mr520", ""}) {
    PtyPeer device;
    settings.WriteStringSetting("MonitorPort", device.DevicePath());
    device.ReplyPlain("MCO");
    if (*answer)
      device.ReplyPlain(answer);
    else
      device.Silence();
    device.ReplyPlain("MCO");
    ScriptedOperator quiet;
    Station other(quiet, settings, clock);
    other.Start();
    EXPECT_EQ(quiet.modelName, "") << answer;
    EXPECT_FALSE(quiet.dropsAccepted) << answer;
    EXPECT_TRUE(quiet.boxes.empty()) << answer;
    EXPECT_EQ(quiet.status[2], "Untitled.txt");
  }
}

TEST_F(StationTest, AMissingPortStartsWithoutAModelAndWithoutAMessage) {
  settings.WriteStringSetting("MonitorPort", dir.File("no-port"));
  station.Start();
  EXPECT_EQ(op.modelName, "");
  EXPECT_FALSE(op.dropsAccepted);
  EXPECT_TRUE(op.boxes.empty());
  ASSERT_TRUE(seam.Link());
  EXPECT_FALSE(seam.Link()->Port().IsOpen());
}

TEST_F(StationTest, StartUpSelectsTheStoredMemoriesOrKeepsTheFirst) {
  settings.WriteStringSetting("LookUpTableSendTo", "USER3");
  settings.WriteStringSetting("FilmGammaSendTo", "user2");
  AnswerModel("QX-7MR520");
  station.Start();
  EXPECT_EQ(op.lutMemory, 2);
  EXPECT_EQ(op.filmGammaMemory, 0);
}

TEST_F(StationTest, AnyMonitorTypeButRs232cGivesTheAddressedLinkWithoutReadingTheSpeed) {
  settings.WriteStringSetting("MonitorType", "RS-422");
  settings.WriteStringSetting("MonitorSpeed", "fast");  // an integer read of it would fail
  settings.WriteIntSetting("MonitorId", 0x105);
  AnswerModel("QX-7MR520");
  station.Start();
  EXPECT_EQ(LCD::LinkKind(), 1);
  EXPECT_EQ(seam.Link()->Port().Requested().parity, Parity::Even);
  EXPECT_EQ(peer.Received().at(1), 0x05);  // the id byte after STX
  EXPECT_EQ(op.modelName, "QX-7MR520");
  settings.WriteStringSetting("MonitorType", "RS-232C");
  EXPECT_THROW(station.OpenDevices(), RegistryError);
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
    settings.WriteStringSetting("AnalizerModel", c.model);
    station.CloseDevices();
    station.OpenDevices();
    EXPECT_EQ(bool(seam.DeviceSet().I1()), c.i1) << c.model;
    EXPECT_EQ(bool(seam.DeviceSet().Pr()), c.pr) << c.model;
    EXPECT_FALSE(seam.DeviceSet().Ca()) << c.model;
  }
  EXPECT_EQ(seam.DeviceSet().Pr(), nullptr);
}

TEST_F(StationTest, ExitAsksAndOnlyOkEndsTheSessionAndDeletesTheDevices) {
  settings.WriteStringSetting("AnalizerModel", "PR-655");
  AnswerModel("QX-7MR520");
  station.Start();
  op.answers = {Operator::kAnswerCancel, Operator::kAnswerOk};
  EXPECT_FALSE(station.Exit());
  EXPECT_TRUE(seam.Link() && seam.DeviceSet().Pr());
  EXPECT_TRUE(station.Exit());
  EXPECT_FALSE(seam.Link() || seam.DeviceSet().Pr());
  const ScriptedOperator::Box exit{"EXIT?", "Application", 17};
  EXPECT_EQ(op.boxes, (std::vector<ScriptedOperator::Box>{exit, exit}));
}

TEST_F(StationTest, EachTabKeepsItsOwnFileName) {
  AnswerModel("QX-7MR520");
  station.Start();
  op.ShowMessageLine("measuring");
  station.ShowTab(Operator::kLookUpTableTab);
  EXPECT_EQ(op.status[2], "");
  EXPECT_EQ(op.messageLine, "");
  op.activeTab = Operator::kLookUpTableTab;
  station.OpenFiles({"/luts/a.cub"});  // the name stays, though the file does not load
  station.ShowTab(Operator::kCalibrationTab);
  EXPECT_EQ(op.status[2], "Untitled.txt");
  station.ShowTab(Operator::kLookUpTableTab);
  EXPECT_EQ(op.status[2], "/luts/a.cub");
}

TEST_F(StationTest, CommandsThatReplaceDevicesOrDataDoNotActWhileAProcedureRuns) {
  AnswerModel("QX-7MR520");
  station.Start();
  {
    test::StationSeam::RunningProcedure running(station);
    { test::StationSeam::RunningProcedure nested(station); }
    EXPECT_TRUE(op.procedureRunning) << "a nested procedure must not end the outer one";
    EXPECT_FALSE(station.Exit());
    EXPECT_TRUE(op.boxes.empty());
    station.OpenFiles({"/tmp/a.txt"});
    EXPECT_EQ(op.status[2], "Untitled.txt");
  }
  EXPECT_FALSE(op.procedureRunning);
  const std::string first = dir.File("a.txt");
  ASSERT_TRUE(seam.Files().WriteCalibrationFile(first));
  station.OpenFiles({first, "/tmp/b.txt", "/tmp/c.txt"});
  EXPECT_EQ(op.status[2], first);
}

TEST_F(StationTest, ASettingThatCannotBeReadAfterTheDialogLeavesALinkThatFails) {
  AnswerModel("QX-7MR520");
  station.Start();
  op.whilePropertyDialog = [this] { settings.WriteStringSetting("MonitorId", "one"); };
  EXPECT_THROW(station.ChangeSettings(), RegistryError);
  ASSERT_TRUE(seam.Link());
  EXPECT_EQ(seam.Link()->ShowPattern(0, 0, 0), LinkResult::CommunicationError);
}

}  // namespace
}  // namespace velluma
