// The monitor link against the virtual bench's QX-7MR520 over a real pty.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "monitor/LCD.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

std::vector<long> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<long> values;
  for (long v; in >> v;) values.push_back(v);
  return values;
}

class LCDBenchTest : public ::testing::Test {
 protected:
  std::unique_ptr<LCD> Connect(BenchProcess& device, int kind = 0, int id = 1) {
    auto lcd = std::make_unique<LCD>(kind, device.MonitorDevice(), 9600,
                                     LinkEnvironment{clock_, [this] { return monitorSpeed_; }});
    lcd->SetMonitorId(kind, id);
    return lcd;
  }

  test::TempDir dir_;
  std::int32_t monitorSpeed_ = 9600;  // what the link reads as "MonitorSpeed"
  UserMemoryTables tables_;
  ScaledClock clock_{0.01};
  BenchProcess bench_{{"--reply-delay", "10"}};
};

TEST_F(LCDBenchTest, TheModelQueryOnBothLinkKinds) {
  std::string reply;
  EXPECT_EQ(Connect(bench_)->Query("QID", reply), 3);
  EXPECT_EQ(reply, "QX-7MR520");
  BenchProcess addressed({"--addressed", "7"});
  reply.clear();
  EXPECT_EQ(Connect(addressed, 1, 7)->Query("QID", reply), 3);
  EXPECT_EQ(reply, "QX-7MR520");
  EXPECT_EQ(Connect(addressed, 1, 8)->Query("QID", reply), -1) << "another id is not answered";
}

TEST_F(LCDBenchTest, AQueryThatFailsInsideTheBracketLeavesTheMonitorOutOfRemoteMode) {
  bench_.AddFault("QID er0");
  std::string reply;
  auto lcd = Connect(bench_);
  EXPECT_EQ(lcd->Query("QID", reply), -3);
  EXPECT_EQ(bench_.Log(), (std::vector<std::string>{"MCO:1", "QID", "MCO:0"}));
  EXPECT_EQ(bench_.State()["remote"], "0");
  bench_.Clear();
  bench_.AddFault("QID silent");
  EXPECT_EQ(lcd->Query("QID", reply), -1);
  EXPECT_EQ(bench_.Log(), (std::vector<std::string>{"MCO:1", "QID"}))
      << "a silent monitor is not waited for twice";
}

TEST_F(LCDBenchTest, FaultsOfTheMonitorGiveTheirCodes) {
  auto lcd = Connect(bench_);
  bench_.AddFault("OUT badsum times 1");
  EXPECT_EQ(lcd->ShowPattern(1, 2, 3), LinkResult::ChecksumError);
  bench_.AddFault("ZBL reply NO times 1");
  EXPECT_EQ(lcd->SetZbl(200), LinkResult::Nack);
  bench_.AddFault("OUT noise times 1");
  EXPECT_EQ(lcd->ShowPattern(255, 0, 0), LinkResult::Ok);
  bench_.AddFault("ZBL silent times 1");
  EXPECT_EQ(lcd->SetZbl(100), LinkResult::CommunicationError);
  EXPECT_EQ(bench_.State()["pattern"], "255 0 0");
}

TEST_F(LCDBenchTest, PrimariesAndGreyRampArriveInTheMonitor) {
  auto lcd = Connect(bench_);
  std::array<float, 9> primaries{25, 70, 5, 0.64f, 0.30f, 0.15f, 0.33f, 0.60f, 0.06f};
  std::array<float, 256> ramp{};
  for (int n = 0; n < 256; ++n) ramp[n] = 0.3127f + n * 0.0001f;
  ramp[255] = 123.4567f;
  EXPECT_EQ(lcd->WritePrimaries(primaries), LinkResult::Ok);
  EXPECT_EQ(lcd->WriteGreyRamp(1, ramp), LinkResult::Ok);
  auto state = bench_.State();
  EXPECT_EQ(state["primaries"], "25.0000 70.0000 5.0000 0.6400 0.3000 0.1500 0.3300 0.6000 0.0600");
  EXPECT_EQ(state["grey1"].substr(0, 14), "0.3127 0.3128 ");
  EXPECT_NE(state["grey1"].find(" 123.4567"), std::string::npos);
  EXPECT_EQ(state["grey0"], "none");
}

TEST_F(LCDBenchTest, ALutReachesTheChosenMemoryCompleteAndInOrderAtTheLutSpeed) {
  monitorSpeed_ = 38400;
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 4096; ++i) tables_.lutTables[1][c][i] = (i * 7 + c * 300) % 1024;
  auto lcd = Connect(bench_);
  EXPECT_EQ(lcd->WriteLut(1, tables_.lutTables[1]), LinkResult::Ok);
  auto state = bench_.State();
  for (int c = 0; c < 3; ++c) {
    const auto values = Numbers(state["lut.USER2." + std::to_string(c)]);
    ASSERT_EQ(values.size(), 4096u);
    for (int i = 0; i < 4096; ++i)
      ASSERT_EQ(values[i], tables_.lutTables[1][c][i]) << c << "/" << i;
  }
  EXPECT_EQ(state["lut.USER1.0"], "none");
  EXPECT_EQ(state["lut.USER3.2"], "none");
  EXPECT_EQ(state["speed"], "9600");
  EXPECT_EQ(state["refused"], "0");
  const auto log = bench_.Log();
  EXPECT_EQ(log.front(), "speed38400");
  EXPECT_EQ(log.back(), "speed9600");
}

TEST_F(LCDBenchTest, ALutSentWithoutTheSpeedSwitchIsRefusedByTheMonitor) {
  monitorSpeed_ = 38400;
  bench_.AddFault("speed silent");  // the monitor misses the switch
  tables_.lutTables[0][0][0] = 1;
  EXPECT_EQ(Connect(bench_)->WriteLut(0, tables_.lutTables[0]), LinkResult::Nack);
  EXPECT_EQ(bench_.State()["refused"], "2");
}

TEST_F(LCDBenchTest, AChunkRefusedTwiceLeavesMonitorAndPortAtTheLineSpeed) {
  monitorSpeed_ = 57600;
  bench_.AddFault("C$M:WF er0 from 5 times 2");
  auto lcd = Connect(bench_);
  EXPECT_EQ(lcd->WriteLut(2, tables_.lutTables[2]), LinkResult::Nack);
  EXPECT_EQ(bench_.State()["speed"], "9600");
  EXPECT_EQ(lcd->Port().Requested().speed, 9600);
  lcd.reset();
  std::string reply;
  EXPECT_EQ(Connect(bench_)->Query("QID", reply), 3) << "a new link, as at the next start, answers";
  lcd = Connect(bench_);
  bench_.Clear();
  EXPECT_EQ(lcd->WriteLut(2, tables_.lutTables[2]), LinkResult::Ok)
      << "the next transfer switches again and goes through";
  EXPECT_EQ(bench_.State()["speed"], "9600");
}

TEST_F(LCDBenchTest, FilmGammaReachesTheChosenMemory) {
  for (int i = 0; i < 1024; ++i) tables_.filmGammaTables[2][i] = 1023 - i;
  auto lcd = Connect(bench_);
  EXPECT_EQ(lcd->WriteFilmGamma(2, tables_.filmGammaTables[2]), LinkResult::Ok);
  const auto values = Numbers(bench_.State()["filmgamma.USER3"]);
  ASSERT_EQ(values.size(), 1024u);
  EXPECT_EQ(values.front(), 1023);
  EXPECT_EQ(values.back(), 0);
  EXPECT_EQ(bench_.State()["filmgamma.USER1"], "none");
}

}  // namespace
}  // namespace velluma
