#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <numeric>

#include "monitor/LCD.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::PtyPeer;
using Kind = VirtualClock::Kind;

// Every command of the monitor against a scripted device on a real pty, in virtual time.
class CommandSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lcd_ = std::make_unique<LCD>(0, peer_.DevicePath(), 9600,
                                 LinkEnvironment{clock_, [this] { return monitorSpeed_; }});
    lcd_->SetMonitorId(0, 1);
  }

  std::string Checked(const std::string& command) {
    unsigned sum = 0;
    for (std::size_t i = 4; i < command.size(); ++i) sum += static_cast<unsigned char>(command[i]);
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", sum & 0xFF);
    return command + digits;
  }

  void FillLut(int memory) {
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < 4096; ++i) tables_.lutTables[memory][c][i] = (i + 100 * c) % 1024;
  }

  test::TempDir dir_;
  std::int32_t monitorSpeed_ = 9600;  // what the link reads as "MonitorSpeed"
  UserMemoryTables tables_;
  VirtualClock clock_;
  PtyPeer peer_;
  std::unique_ptr<LCD> lcd_;
};

TEST_F(CommandSetTest, ShowPatternAcceptsOnlyBokAndPausesAfterSuccess) {
  peer_.ReplyChecked("BOK");
  peer_.ReplyChecked("NOK");
  peer_.ReplyChecked("");
  EXPECT_EQ(lcd_->ShowPattern(0, 0, 0), LinkResult::Ok);
  EXPECT_EQ(lcd_->ShowPattern(255, 0, 0), LinkResult::Nack);
  EXPECT_EQ(lcd_->ShowPattern(255, 255, 255),
            LinkResult::Ok);  // an empty reply counts as success, unpaused
  EXPECT_EQ(peer_.Frames(),
            (std::vector<std::string>{"OUT00000020", "OUTFF00004C", "OUTFFFFFFA4"}));
  EXPECT_EQ(clock_.Pauses(), std::vector<int>{125});
}

TEST_F(CommandSetTest, SetZblSendsThreeDigitsAndExpectsZbl) {
  peer_.ReplyPlain("ZBL");
  EXPECT_EQ(lcd_->SetZbl(5), LinkResult::Ok);
  EXPECT_EQ(peer_.Frames(), std::vector<std::string>{"ZBL:005"});
  EXPECT_EQ(clock_.Pauses(), std::vector<int>{125});
}

TEST_F(CommandSetTest, WritePrimariesUsesSevenCharacterFieldsAndOverwritesOverlongOnes) {
  std::array<float, 9> values{0.3127f, 5.0f, -0.5f, 0.64f, 0.33f, 0.3f, 0.6f, 0.15f, 0.06f};
  peer_.ReplyChecked("G$M");
  EXPECT_EQ(lcd_->WritePrimaries(values), LinkResult::Ok);
  const std::string plain =
      "G$M:WDC00.312705.0000-0.500000.640000.330000.300000.600000.150000.0600";
  ASSERT_EQ(plain.size(), 70u);
  EXPECT_EQ(peer_.Frames().at(0), Checked(plain));

  values[0] = 123.4567f;
  peer_.ReplyChecked("G$M");
  EXPECT_EQ(lcd_->WritePrimaries(values), LinkResult::Ok);
  EXPECT_EQ(peer_.Frames().at(1).substr(0, 21), "G$M:WDC123.45605.0000");

  values[0] = 0.3127f;
  values[8] = 123.4567f;
  peer_.ReplyChecked("G$M");
  EXPECT_EQ(lcd_->WritePrimaries(values), LinkResult::Ok);
  EXPECT_EQ(peer_.Frames().at(2), Checked(plain.substr(0, 63) + "123.4567"));
  EXPECT_TRUE(clock_.Pauses().empty());
}

TEST_F(CommandSetTest, WriteGreyRampSendsAWholeChannelInOneCommand) {
  std::array<float, 256> values{};
  for (int i = 0; i < 256; ++i) values[i] = static_cast<float>(i) / 4;
  for (int i = 0; i < 3; ++i) peer_.ReplyChecked("G$M");
  for (int channel : {0, 1, 7}) EXPECT_EQ(lcd_->WriteGreyRamp(channel, values), LinkResult::Ok);
  const auto frames = peer_.Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].substr(0, 8), "G$M:WDW0");
  EXPECT_EQ(frames[1].substr(0, 8), "G$M:WDW1");
  EXPECT_EQ(frames[2].substr(0, 8), "G$M:WDW2");  // any other channel number
  EXPECT_EQ(frames[2].size(), 8u + 256 * 7 + 2);
  EXPECT_EQ(frames[2].substr(8, 21), "00.000000.250000.5000");
  EXPECT_EQ(frames[2].substr(8 + 255 * 7, 7), "63.7500");
}

TEST_F(CommandSetTest, AValueNoFieldCanCarryIsRefusedBeforeAnythingIsSent) {
  const float inf = std::numeric_limits<float>::infinity();
  std::array<float, 9> primaries{};
  std::array<float, 256> ramp{};
  for (float unfit : {inf, -inf, std::numeric_limits<float>::quiet_NaN(), 1e7f, -1e6f}) {
    primaries[8] = unfit;  // the last field keeps its whole text, and still may not carry it
    ramp[3] = unfit;
    EXPECT_EQ(lcd_->WritePrimaries(primaries), LinkResult::Nack) << unfit;
    EXPECT_EQ(lcd_->WriteGreyRamp(1, ramp), LinkResult::Nack) << unfit;
  }
  tables_.filmGammaTables[0][1023] = 4096;
  EXPECT_EQ(lcd_->WriteFilmGamma(0, tables_.filmGammaTables[0]), LinkResult::Nack);
  FillLut(2);
  tables_.lutTables[2][1][7] = -1;
  monitorSpeed_ = 38400;
  EXPECT_EQ(lcd_->WriteLut(2, tables_.lutTables[2]), LinkResult::Nack);
  EXPECT_TRUE(peer_.Frames().empty()) << "not even the speed switch";
  EXPECT_TRUE(clock_.Events().empty());
}

TEST_F(CommandSetTest, ReplyFailuresOfSingleExchanges) {
  std::array<float, 9> values{};
  peer_.Reply(test::Bytes("\x02G$MBB\x03"));  // bad checksum
  EXPECT_EQ(lcd_->WritePrimaries(values), LinkResult::ChecksumError);
  peer_.ReplyChecked("BOK");  // wrong reply
  EXPECT_EQ(lcd_->WritePrimaries(values), LinkResult::Nack);
  peer_.Silence();
  EXPECT_EQ(lcd_->SetZbl(200), LinkResult::CommunicationError);
  EXPECT_TRUE(clock_.Pauses().empty());
}

TEST_F(CommandSetTest, WriteFilmGammaSendsFourBlocksOfTheChosenMemory) {
  for (int i = 0; i < 1024; ++i) tables_.filmGammaTables[1][i] = i;
  for (int b = 0; b < 4; ++b) peer_.ReplyChecked("BOK");
  EXPECT_EQ(lcd_->WriteFilmGamma(1, tables_.filmGammaTables[1]), LinkResult::Ok);
  const auto frames = peer_.Frames();
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0].substr(0, 15), "WCG:0100001D000");
  EXPECT_EQ(frames[3].substr(0, 15), "WCG:0100001D300");
  EXPECT_EQ(frames[3].size(), 783u + 2);
  EXPECT_EQ(frames[3].substr(15, 6), "300301");
  EXPECT_EQ(frames[3].substr(15 + 255 * 3, 3), "3FF");
  EXPECT_EQ(frames[3], Checked(frames[3].substr(0, 783)));
  EXPECT_TRUE(clock_.Pauses().empty());
}

TEST_F(CommandSetTest, WriteFilmGammaStopsAtTheFirstRefusedBlockAndRefusesABadMemory) {
  peer_.ReplyChecked("BOK");
  peer_.ReplyChecked("ER0");
  EXPECT_EQ(lcd_->WriteFilmGamma(2, tables_.filmGammaTables[2]), LinkResult::Nack);
  EXPECT_EQ(peer_.Frames().size(), 2u);
  EXPECT_EQ(peer_.Frames()[0].substr(0, 15), "WCG:0100001E000");
  EXPECT_EQ(lcd_->WriteFilmGamma(3, tables_.filmGammaTables[0]), LinkResult::Nack);
  EXPECT_EQ(lcd_->WriteFilmGamma(-1, tables_.filmGammaTables[0]), LinkResult::Nack);
  EXPECT_EQ(peer_.Frames().size(), 2u);
}

TEST_F(CommandSetTest, WriteLutAtTheLineSpeedSendsFortyEightChunksWithTheirPauses) {
  FillLut(0);
  for (int i = 0; i < 48; ++i) peer_.ReplyPlain("C$M");
  EXPECT_EQ(lcd_->WriteLut(0, tables_.lutTables[0]), LinkResult::Ok);
  const auto frames = peer_.Frames();
  ASSERT_EQ(frames.size(), 48u);
  EXPECT_EQ(frames[0].substr(0, 17), "C$M:WF02000018000");
  EXPECT_EQ(frames[0].size(), 785u + 2);
  EXPECT_EQ(frames[0], Checked(frames[0].substr(0, 785)));
  EXPECT_EQ(frames[0].substr(17, 9), "000001002");
  EXPECT_EQ(frames[15].substr(0, 17), "C$M:WF02000018F00");
  EXPECT_EQ(frames[16].substr(0, 17), "C$M:WF02001018000");  // the address restarts per channel
  EXPECT_EQ(frames[16].substr(17, 3), "064");
  std::vector<int> expected(48, 300);
  expected.push_back(5000);
  EXPECT_EQ(clock_.Pauses(), expected);
  for (int speed : peer_.FrameSpeeds()) EXPECT_EQ(speed, 9600);
}

TEST_F(CommandSetTest, WriteLutSwitchesTheSpeedAroundTheChunks) {
  monitorSpeed_ = 38400;
  FillLut(2);
  peer_.Silence();  // the speed command is not answered
  for (int i = 0; i < 48; ++i) peer_.ReplyPlain("C$M");
  peer_.Silence();
  EXPECT_EQ(lcd_->WriteLut(2, tables_.lutTables[2]), LinkResult::Ok);
  ASSERT_TRUE(peer_.WaitForFrames(50));
  const auto frames = peer_.Frames();
  const auto speeds = peer_.FrameSpeeds();
  ASSERT_EQ(frames.size(), 50u);
  EXPECT_EQ(frames.front(), "speed38400");
  EXPECT_EQ(frames[48].substr(0, 17), "C$M:WF0200201AF00");
  // The speed commands themselves carry no reply to hold the port still while the peer reads
  // them, so only the chunks' speeds are certain here.
  for (int i = 1; i < 49; ++i) EXPECT_EQ(speeds[i], 38400) << frames[i].substr(0, 17);
  EXPECT_EQ(frames.back(), "speed9600");
  EXPECT_EQ(peer_.LineSpeed(), 9600);
  const auto pauses = clock_.Pauses();
  EXPECT_EQ(pauses.front(), 1500);
  EXPECT_EQ(pauses.back(), 1500);
  EXPECT_EQ(pauses[pauses.size() - 2], 5000);
}

TEST_F(CommandSetTest, ALutChunkIsSentOnceMoreAfterItsFirstReplyTimesOut) {
  FillLut(1);
  peer_.Silence();
  for (int i = 0; i < 48; ++i) peer_.ReplyPlain("C$M");
  EXPECT_EQ(lcd_->WriteLut(1, tables_.lutTables[1]), LinkResult::Ok);
  const auto events = clock_.Events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[0], (VirtualClock::Event{Kind::Timeout, 10000}));
  EXPECT_EQ(events[1], (VirtualClock::Event{Kind::Pause, 500}));
  EXPECT_EQ(events[2], (VirtualClock::Event{Kind::Pause, 300}));
  EXPECT_EQ(peer_.Frames()[0], peer_.Frames()[1]);
  EXPECT_EQ(peer_.Frames().size(), 49u);
}

TEST_F(CommandSetTest, ALutChunkRefusedTwiceSwitchesMonitorAndPortBackAndKeepsTheNack) {
  monitorSpeed_ = 115200;
  FillLut(0);
  peer_.Silence();
  peer_.ReplyPlain("C$M");
  peer_.ReplyPlain("ER0");
  peer_.ReplyPlain("ER0");
  EXPECT_EQ(lcd_->WriteLut(0, tables_.lutTables[0]), LinkResult::Nack);
  ASSERT_TRUE(peer_.WaitForFrames(5));
  EXPECT_EQ(peer_.Frames().back(), "speed9600");
  EXPECT_EQ(peer_.LineSpeed(), 9600);
  EXPECT_EQ(clock_.Pauses(), (std::vector<int>{1500, 300, 500, 1500}));
}

TEST_F(CommandSetTest, WriteLutRefusesABadMemoryAfterTheSpeedSwitchAndSwitchesBack) {
  EXPECT_EQ(lcd_->WriteLut(3, tables_.lutTables[0]), LinkResult::Nack);
  EXPECT_TRUE(peer_.Frames().empty()) << "at the line speed nothing is sent";
  monitorSpeed_ = 38400;
  EXPECT_EQ(lcd_->WriteLut(3, tables_.lutTables[0]), LinkResult::Nack);
  ASSERT_TRUE(peer_.WaitForFrames(2));
  EXPECT_EQ(peer_.Frames(), (std::vector<std::string>{"speed38400", "speed9600"}));
  EXPECT_EQ(peer_.LineSpeed(), 9600);
}

}  // namespace
}  // namespace velluma
