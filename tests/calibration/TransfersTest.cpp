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
    UseMonitorPort(bench_.MonitorDevice());
    station_.OpenDevices();
  }
  std::size_t Panel0Count(const std::string& entry) {
    return std::count(op_.calls.begin(), op_.calls.end(), entry);
  }

  BenchProcess bench_{{"--reply-delay", "10"}};
};

TEST_F(TransfersTest, NothingLoadedMeansNothingSent) {
  station_.SendCalibration();
  op_.lutMemory = 0;
  station_.SendLut(op_.lutMemory);
  EXPECT_EQ(op_.status[0], "PC->MONITOR") << "the LUT action sets the panel before testing";
  op_.status[0] = "";
  station_.SendFilmGamma(op_.filmGammaMemory);
  EXPECT_EQ(op_.status[0], "") << "the film-gamma action tests first";
  const Box notLoaded{"NOT FILE LOAD", "PC->MONITOR", 16};
  EXPECT_EQ(op_.boxes, (std::vector<Box>{notLoaded, notLoaded, notLoaded}));
  EXPECT_FALSE(op_.locked);
  EXPECT_TRUE(bench_.Log().empty());
}

TEST_F(TransfersTest, TheCalibrationDataArrivesInTheMonitor) {
  seam_.HoldCalibrationData(SampleData());
  station_.SendCalibration();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  auto state = bench_.State();
  EXPECT_EQ(state["primaries"].substr(0, 8), "25.0000 ");
  EXPECT_EQ(state["grey0"].substr(0, 14), "0.0000 0.5000 ");
  EXPECT_EQ(state["grey1"].substr(0, 7), "0.3127 ");
  EXPECT_EQ(op_.status[0], "");
  std::vector<std::string> headers;
  for (const std::string& command : bench_.Log())
    headers.push_back(command.substr(0, command[6] == 'C' ? 7 : 8));
  EXPECT_EQ(headers, (std::vector<std::string>{"G$M:WDC", "G$M:WDW0", "G$M:WDW1", "G$M:WDW2"}));
}

TEST_F(TransfersTest, AFileThatCannotBeOpenedKeepsTheDataHeldForPcToMonitor) {
  seam_.HoldCalibrationData(SampleData());
  ASSERT_TRUE(seam_.Files().WriteCalibrationFile(dir_.File("held.txt")));
  op_.dialogAnswers = {dir_.File("held.txt")};
  station_.OpenFile();
  ASSERT_EQ(station_.Held().calibrationReady, 1);
  std::filesystem::create_directory(dir_.File("folder"));
  ::mkfifo(dir_.File("fifo").c_str(), 0600);
  for (const std::string& path :
       {dir_.File("missing.txt"), dir_.File("folder"), dir_.File("fifo")}) {
    op_.calls.clear();
    op_.dialogAnswers = {path};
    station_.OpenFile();
    EXPECT_EQ(op_.status[2], dir_.File("held.txt")) << path;
    EXPECT_EQ(std::count(op_.calls.begin(), op_.calls.end(), "RefreshCalibrationTables"), 0)
        << path;
  }
  station_.OpenFiles({dir_.File("folder")});
  EXPECT_EQ(op_.status[2], dir_.File("held.txt"));
  EXPECT_TRUE(op_.boxes.empty()) << "no message";
  station_.SendCalibration();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  auto state = bench_.State();
  EXPECT_EQ(state["primaries"].substr(0, 8), "25.0000 ");
  EXPECT_EQ(state["grey0"].substr(0, 14), "0.0000 0.5000 ") << "the data held, not zeros";
}

TEST_F(TransfersTest, AGreyRampThatTimesOutOnChannel1StopsBeforeChannel2) {
  bench_.AddFault("G$M:WDW1 silent");
  seam_.HoldCalibrationData({});
  station_.SendCalibration();
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Monitor: Communication Error", "PC->MONITOR", 16}}));
  EXPECT_EQ(bench_.State()["grey2"], "none");
  EXPECT_EQ(op_.status[0], "") << "PC -> MONITOR empties the panel after a failure too";
  EXPECT_FALSE(op_.locked);
}

TEST_F(TransfersTest, TheLutOfTheChosenMemoryArrives) {
  settings_.WriteIntSetting("MonitorSpeed", 38400);
  UserMemoryTables::LutTable lut{};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 4096; ++i) lut[c][i] = (i + c) % 1024;
  seam_.HoldLut(2, lut);
  op_.lutMemory = 2;
  station_.SendLut(op_.lutMemory);
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  EXPECT_EQ(op_.status[0], "");
  const auto blue = Numbers(bench_.State()["lut.USER3.2"]);
  ASSERT_EQ(blue.size(), 4096u);
  EXPECT_EQ(blue[4095], (4095 + 2) % 1024);
}

TEST_F(TransfersTest, AFailedLutTransferKeepsPcToMonitorInThePanelAndTheLinkUsable) {
  settings_.WriteIntSetting("MonitorSpeed", 115200);
  bench_.AddFault("C$M:WF er0");
  seam_.HoldLut(0, {});
  station_.SendLut(op_.lutMemory);
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"monitor: NACK", "PC->MONITOR", 16}}));
  EXPECT_EQ(op_.status[0], "PC->MONITOR");
  EXPECT_FALSE(op_.locked);
  EXPECT_EQ(bench_.State()["speed"], "9600");
  station_.CloseDevices();  // as the settings dialog does
  station_.OpenDevices();
  std::string model;
  EXPECT_GE(seam_.Link()->Query("QID", model), 0);
  EXPECT_EQ(model, "QX-7MR520");
}

TEST_F(TransfersTest, TheFilmGammaOfTheChosenMemoryArrives) {
  UserMemoryTables::FilmGammaTable ramp{};
  for (int i = 0; i < 1024; ++i) ramp[i] = i;
  seam_.HoldFilmGamma(1, ramp);
  op_.filmGammaMemory = 1;
  station_.SendFilmGamma(op_.filmGammaMemory);
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"Complete.", "PC->MONITOR", 0}}));
  const auto values = Numbers(bench_.State()["filmgamma.USER2"]);
  ASSERT_EQ(values.size(), 1024u);
  EXPECT_EQ(values[1000], 1000);
  bench_.AddFault("WCG silent");
  station_.SendFilmGamma(op_.filmGammaMemory);
  EXPECT_EQ(op_.boxes.back(), (Box{"monitor: Communication Error", "PC->MONITOR", 16}));
  EXPECT_EQ(op_.status[0], "PC->MONITOR");
}

}  // namespace
}  // namespace velluma
