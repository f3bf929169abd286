#include <gtest/gtest.h>

#include "instruments/Pr655Analyzer.h"
#include "tests/support/PtyPeer.h"

namespace velluma {
namespace {

using test::Bytes;
using test::PtyPeer;

// The PR-655 driver against a scripted instrument on a real pty, in virtual time.
class Pr655AnalyzerTest : public ::testing::Test {
 protected:
  void ReplyLine(const std::string& line) { peer_.Reply(Bytes(line + "\r\n")); }

  PtyPeer peer_{PtyPeer::Framing::Lines};
  VirtualClock clock_;
  Pr655Analyzer pr_{0, peer_.DevicePath(), 9600, clock_};
};

TEST_F(Pr655AnalyzerTest, WriteSlowPausesAfterEveryByteTheLastIncluded) {
  EXPECT_EQ(pr_.WriteSlow("M1\r", 3), 1);
  EXPECT_EQ(clock_.Pauses(), (std::vector<int>{50, 50, 50}));
  ASSERT_TRUE(peer_.WaitForFrames(1));
  EXPECT_EQ(peer_.Received(), Bytes("M1\r"));
}

TEST_F(Pr655AnalyzerTest, BeginRemoteWakesSetsUpAndStopsAtAnError) {
  peer_.Silence();  // the empty line before PHOTO
  peer_.Silence();  // its answer would be thrown away by the purge
  ReplyLine("0000");
  ReplyLine("0000");
  ReplyLine("-1000,x");
  EXPECT_EQ(pr_.BeginRemote(), -1000);
  ASSERT_TRUE(peer_.WaitForFrames(5));
  EXPECT_EQ(peer_.Frames(), (std::vector<std::string>{"", "PHOTO", "SE0", "SK60", "SS3"}));
  auto pauses = clock_.Pauses();
  ASSERT_GT(pauses.size(), 7u);
  EXPECT_EQ(pauses[7], 200) << "the wake-up answer is let settle, then purged";
}

// The wake-up answer comes after the purge (here: only once SE0 has gone out, so that no
// scheduling can make it early), without CR; every reply after it is read one command late.
TEST_F(Pr655AnalyzerTest, ALateRemoteModeAnswerEndsALineThatReadsAsNoError) {
  peer_.Silence();
  peer_.Silence();
  peer_.Reply(Bytes("\n REMOTE MODE0000\r\n"));
  ReplyLine("0000");
  ReplyLine("0000");
  EXPECT_EQ(pr_.BeginRemote(), 0);
}

TEST_F(Pr655AnalyzerTest, AnEmptyOrMissingReplyToASetupCommandIsACommunicationError) {
  peer_.Silence();
  peer_.Silence();
  peer_.Reply(Bytes("\r"));
  EXPECT_EQ(pr_.BeginRemote(), Pr655Analyzer::kCommunicationError);
}

TEST_F(Pr655AnalyzerTest, MeasureReadsYxyFromTheReply) {
  peer_.Silence();  // C
  ReplyLine("0000,1,1.234e+02,.3127,.3290");
  double x = 0, y = 0, Y = 0;
  EXPECT_EQ(pr_.Measure(x, y, Y), 0);
  EXPECT_DOUBLE_EQ(Y, 123.4);
  EXPECT_DOUBLE_EQ(x, 0.3127);
  EXPECT_DOUBLE_EQ(y, 0.3290);
  EXPECT_EQ(peer_.Frames(), (std::vector<std::string>{"C", "M1"}));
}

TEST_F(Pr655AnalyzerTest, MeasureFailures) {
  struct Case {
    std::optional<std::vector<std::uint8_t>> reply;
    int result;
  } cases[] = {
      {Bytes("-8,0,1,2,3\r"), -8},
      {Bytes("  -1035\r"), -1035},
      {Bytes("0000,111\r"),
       Pr655Analyzer::kCommunicationError},  // too few fields: nothing delivered
      {Bytes(",,,\r"), Pr655Analyzer::kCommunicationError},
      {std::nullopt, Pr655Analyzer::kTimeout},
      {Bytes("\r"), Pr655Analyzer::kTimeout},
  };
  for (const Case& c : cases) {
    PtyPeer device(PtyPeer::Framing::Lines);
    Pr655Analyzer driver(0, device.DevicePath(), 9600, clock_);
    device.Silence();
    device.Reply(c.reply);
    double x = 1, y = 2, Y = 3;
    EXPECT_EQ(driver.Measure(x, y, Y), c.result);
    EXPECT_EQ(x + y + Y, 6) << "values untouched";
  }
}

TEST_F(Pr655AnalyzerTest, EndRemoteSendsQuitWithoutReading) {
  EXPECT_EQ(pr_.EndRemote(), 0);
  ASSERT_TRUE(peer_.WaitForFrames(1));
  EXPECT_EQ(peer_.Received(), Bytes("Q\r"));
}

TEST_F(Pr655AnalyzerTest, AMissingPortMakesBeginRemoteSucceedAndEverythingElseFail) {
  Pr655Analyzer missing(0, "/nonexistent/tty", 9600, clock_);
  EXPECT_EQ(missing.BeginRemote(), 0);
  double x = 0, y = 0, Y = 0;
  EXPECT_EQ(missing.Measure(x, y, Y), Pr655Analyzer::kCommunicationError);
  EXPECT_EQ(missing.EndRemote(), Pr655Analyzer::kCommunicationError);
  EXPECT_EQ(Pr655Analyzer::ErrorText(missing.Measure(x, y, Y)), "Communication Error");
}

TEST_F(Pr655AnalyzerTest, TheLineIsSetUpAsAsked) {
  EXPECT_EQ(pr_.Port().Requested(), (LineSettings{9600, 8, Parity::None, 1}));
  Pr655Analyzer unsupported(0, "/nonexistent", 12345, clock_);
  EXPECT_FALSE(unsupported.Port().IsOpen());
}

TEST(Analyzer3FieldsTest, FieldsSplitAsStrtokAndConvertAsAtol) {
  EXPECT_EQ(Pr655Analyzer::Fields(",,0000,,1,"), (std::vector<std::string>{"0000", "1"}));
  EXPECT_TRUE(Pr655Analyzer::Fields("").empty());
  EXPECT_EQ(Pr655Analyzer::FieldInteger(" -12x"), -12);
  EXPECT_EQ(Pr655Analyzer::FieldInteger("\n REMOTE MODE"), 0);
  EXPECT_EQ(Pr655Analyzer::FieldInteger("+7"), 7);
  EXPECT_EQ(Pr655Analyzer::FieldInteger("99999999999999999999"), 2147483647);
}

TEST(Analyzer3ErrorTextTest, TheWholeTable) {
  EXPECT_EQ(Pr655Analyzer::ErrorText(0), "OK");
  EXPECT_EQ(Pr655Analyzer::ErrorText(-9998), "Timeout");
  EXPECT_EQ(Pr655Analyzer::ErrorText(-8), "Weak light   insufficient signal.");
  EXPECT_EQ(Pr655Analyzer::ErrorText(-2), "Light overload   signal too intense.");
  EXPECT_EQ(Pr655Analyzer::ErrorText(-1000), "Illegal command");
  EXPECT_EQ(Pr655Analyzer::ErrorText(-1035), "Parameter not applicable to this instrument");
  EXPECT_EQ(Pr655Analyzer::ErrorText(5), "Other Error");
  EXPECT_EQ(Pr655Analyzer::ErrorText(-9999), "Other Error");
}

}  // namespace
}  // namespace velluma
