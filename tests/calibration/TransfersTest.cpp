// PC -> MONITOR and the Start buttons against the bench's monitor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "calibration/Station.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using Box = test::ScriptedOperator::Box;

// Primaries with a red Y of 25 and a grey ramp whose Y is half the level.
CalibrationData SampleData() {
  CalibrationData data;
  data.primaries[0] = {0.64, 0.33, 25};
  for (int n = 0; n < 256; ++n) data.greyLevels[n] = {0.3127, 0.329, n * 0.5};
  return data;
}

std::vector<long> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<long> values;
  for (long v; in >> v;) values.push_back(v);
  return values;
}

class TransfersTest : public test::StationRig<> {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    UseMonitorPort(bench.MonitorDevice());
    station.OpenDevices();
  }
  std::size_t Panel0Count(const std::string& entry) {
    return std::count(op.calls.begin(), op.calls.end(), entry);
  }

  BenchProcess bench{{"--reply-delay", "10"}};
};

TEST_F(TransfersTest, NothingLoadedMeansNothingSent) {
  station.SendCalibration();
  op.lutMemory = 0;
  station.SendLut(op.lutMemory);
  EXPECT_EQ(op.status[0], "PC->MONITOR") << "the LUT action sets the panel before testing";
  op.status[0] = "";
  station.SendFilmGamma(op.filmGammaMemory);
  EXPECT_EQ(op.status[0], "") << "the film-gamma action tests first";
  const Box notLoaded{"NOT FILE LOAD", "PC->MONITOR", 16};
  EXPECT_EQ(op.boxes, (std::vector<Box>{notLoaded, notLoaded, notLoaded}));
  EXPECT_FALSE(op.locked);
  EXPECT_TRUE(bench.Log().empty());
}

TEST_F(TransfersTest, TheCalibrationDataArrivesInTheMonitor) {
  seam.HoldCalibrationData(SampleData());
  station.SendCalibration();
  EXPECT_EQ(op.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  auto state = bench.State();
  EXPECT_EQ(state["primaries"].substr(0, 8), "25.0000 ");
  EXPECT_EQ(state["grey0"].substr(0, 14), "0.0000 0.5000 ");
  EXPECT_EQ(state["grey1"].substr(0, 7), "0.3127 ");
  EXPECT_EQ(op.status[0], "");
  std::vector<std::string> headers;
  for (const std::string& command : bench.Log())
    headers.push_back(command.substr(0, command[6] == 'C' ? 7 : 8));
  EXPECT_EQ(headers, (std::vector<std::string>{"G$M:WDC", "G$M:WDW0", "G$M:WDW1", "G$M:WDW2"}));
}

TEST_F(TransfersTest, AFileThatCannotBeOpenedKeepsTheDataHeldForPcToMonitor) {
  seam.HoldCalibrationData(SampleData());
  ASSERT_TRUE(seam.Files().WriteCalibrationFile(dir.File("held.txt")));
  op.dialogAnswers = {dir.File("held.txt")};
  station.OpenFile();
  ASSERT_EQ(station.Held().calibrationReady, 1);
  std::filesystem::create_directory(dir.File("folder"));
  ::mkfifo(dir.File("fifo").c_str(), 0600);
  for (const std::string& path : {dir.File("missing.txt"), dir.File("folder"), dir.File("fifo")}) {
    op.calls.clear();
    op.dialogAnswers = {path};
    station.OpenFile();
    EXPECT_EQ(op.status[2], dir.File("held.txt")) << path;
    EXPECT_EQ(std::count(op.calls.begin(), op.calls.end(), "RefreshCalibrationTables"), 0) << path;
  }
  station.OpenFiles({dir.File("folder")});
  EXPECT_EQ(op.status[2], dir.File("held.txt"));
  EXPECT_TRUE(op.boxes.empty()) << "no message";
  station.SendCalibration();
  EXPECT_EQ(op.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  auto state = bench.State();
  EXPECT_EQ(state["primaries"].substr(0, 8), "25.0000 ");
  EXPECT_EQ(state["grey0"].substr(0, 14), "0.0000 0.5000 ") << "the data held, not zeros";
}

TEST_F(TransfersTest, AGreyRampThatTimesOutOnChannel1StopsBeforeChannel2) {
  bench.AddFault("G$M:WDW1 silent");
  seam.HoldCalibrationData({});
  station.SendCalibration();
  EXPECT_EQ(op.boxes, (std::vector<Box>{{"Monitor: Communication Error", "PC->MONITOR", 16}}));
  EXPECT_EQ(bench.State()["grey2"], "none");
  EXPECT_EQ(op.status[0], "") << "PC -> MONITOR empties the panel after a failure too";
  EXPECT_FALSE(op.locked);
}

TEST_F(TransfersTest, TheLutOfTheChosenMemoryArrives) {
  settings.WriteIntSetting("MonitorSpeed", 38400);
  UserMemoryTables::LutTable lut{};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 4096; ++i) lut[c][i] = (i + c) % 1024;
  seam.HoldLut(2, lut);
  op.lutMemory = 2;
  station.SendLut(op.lutMemory);
  EXPECT_EQ(op.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  EXPECT_EQ(op.status[0], "");
  const auto blue = Numbers(bench.State()["lut.USER3.2"]);
  ASSERT_EQ(blue.size(), 4096u);
  EXPECT_EQ(blue[4095], (4095 + 2) % 1024);
}

TEST_F(TransfersTest, AFailedLutTransferKeepsPcToMonitorInThePanelAndTheLinkUsable) {
  settings.WriteIntSetting("MonitorSpeed", 115200);
  bench.AddFault("C$M:WF er0");
  seam.HoldLut(0, {});
  station.SendLut(op.lutMemory);
  EXPECT_EQ(op.boxes, (std::vector<Box>{{"monitor: NACK", "PC->MONITOR", 16}}));
  EXPECT_EQ(op.status[0], "PC->MONITOR");
  EXPECT_FALSE(op.locked);
  EXPECT_EQ(bench.State()["speed"], "9600");
  station.CloseDevices();  // as the settings dialog does
  station.OpenDevices();
  std::string model;
  EXPECT_GE(seam.Link()->Query("QID", model), 0);
  EXPECT_EQ(model, "QX-7MR520");
}

TEST_F(TransfersTest, TheFilmGammaOfTheChosenMemoryArrives) {
  UserMemoryTables::FilmGammaTable ramp{};
  for (int i = 0; i < 1024; ++i) ramp[i] = i;
  seam.HoldFilmGamma(1, ramp);
  op.filmGammaMemory = 1;
  station.SendFilmGamma(op.filmGammaMemory);
  EXPECT_EQ(op.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  const auto values = Numbers(bench.State()["filmgamma.USER2"]);
  ASSERT_EQ(values.size(), 1024u);
  EXPECT_EQ(values[1000], 1000);
  bench.AddFault("WCG silent");
  station.SendFilmGamma(op.filmGammaMemory);
  EXPECT_EQ(op.boxes.back(), (Box{"monitor: Communication Error", "PC->MONITOR", 16}));
  EXPECT_EQ(op.status[0], "PC->MONITOR");
}

}  // namespace
}  // namespace velluma
