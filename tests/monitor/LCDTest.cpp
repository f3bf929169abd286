#include <gtest/gtest.h>

#include <memory>

#include "monitor/LCD.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::Bytes;
using test::PtyPeer;

// The link against a scripted device on a real pty, in virtual time.
class LCDTest : public ::testing::Test {
 protected:
  std::unique_ptr<LCD> Connect(int kind = 0, int id = 1, const std::string& port = "") {
    auto lcd = std::make_unique<LCD>(kind, port.empty() ? peer_.DevicePath() : port, 9600,
                                     LinkEnvironment{clock_, [this] { return monitorSpeed_; }});
    lcd->SetMonitorId(kind, id);
    return lcd;
  }

  test::TempDir dir_;
  std::int32_t monitorSpeed_ = 9600;  // what the link reads as "MonitorSpeed"
  UserMemoryTables tables_;
  VirtualClock clock_;
  PtyPeer peer_;
};

TEST_F(LCDTest, QueryBracketsTheCommandAndReturnsTheModel) {
  peer_.ReplyPlain("MCO");
  peer_.ReplyPlain("QX-7MR520");
  peer_.ReplyPlain("MCO");
  auto lcd = Connect();
  std::string reply;
  EXPECT_EQ(lcd->Query("QID", reply), 3);
  EXPECT_EQ(reply, "QX-7MR520");
  EXPECT_EQ(peer_.Frames(), (std::vector<std::string>{"MCO:1", "QID", "MCO:0"}));
  EXPECT_EQ(peer_.Received(), Bytes("\x02MCO:1\x03\x02QID\x03\x02MCO:0\x03"));
}

TEST_F(LCDTest, AnErrorReplyInsideTheBracketStillClosesItAndKeepsTheError) {
  peer_.ReplyPlain("MCO");
  peer_.ReplyPlain("ER0");
  peer_.ReplyPlain("MCO");
  auto lcd = Connect();
  std::string reply;
  EXPECT_EQ(lcd->Query("QID", reply), -3);
  EXPECT_EQ(peer_.Frames(), (std::vector<std::string>{"MCO:1", "QID", "MCO:0"}));
}

TEST_F(LCDTest, QueryFailures) {
  struct Case {
    std::vector<std::optional<std::vector<std::uint8_t>>> replies;
    int result;
    std::size_t framesSent;
  } cases[] = {
      {{Bytes("\x02XYZ\x03")}, -3, 2},                    // bracket refused: closed again
      {{std::nullopt}, -1, 1},                            // silent monitor: nothing more sent
      {{Bytes("\x02MCO\x03"), std::nullopt}, -1, 2},      // silent inside: not waited for twice
      {{Bytes("\x02\x03")}, 0, 1},                        // empty: returned as is
      {{Bytes("\x02MCO\x03"), Bytes("\x02\x03")}, 0, 2},  // empty model reply
      {{Bytes("\x02MCO\x03"), Bytes("\x02QX\x03"), Bytes("\x02NO\x03")}, -3, 3},  // closing refused
  };
  for (const Case& c : cases) {
    PtyPeer device;
    for (const auto& r : c.replies) device.Reply(r);
    auto lcd = Connect(0, 1, device.DevicePath());
    std::string reply;
    EXPECT_EQ(lcd->Query("QID", reply), c.result);
    EXPECT_EQ(device.Frames().size(), c.framesSent);
  }
}

TEST_F(LCDTest, TheAddressedLinkPutsTheIdByteIntoEveryFrameAndAsksForEvenParity) {
  peer_.ReplyPlain("MCO");
  peer_.ReplyPlain("QX-7MR520");
  peer_.ReplyPlain("MCO");
  auto lcd = Connect(1, 1);
  EXPECT_EQ(lcd->Port().Requested().parity, Parity::Even);
  EXPECT_EQ(lcd->Port().Requested().speed, 9600);
  std::string reply;
  EXPECT_EQ(lcd->Query("QID", reply), 3);
  EXPECT_EQ(peer_.Received(), Bytes("\x02\x01MCO:1\x03\x02\x01QID\x03\x02\x01MCO:0\x03"));
  EXPECT_EQ(peer_.LineSpeed(), 9600);
}

TEST_F(LCDTest, TheLinkKindIsHeldForTheWholeProcess) {
  auto first = Connect(1, 7);
  auto second = std::make_unique<LCD>(0, peer_.DevicePath(), 9600,
                                      LinkEnvironment{clock_, [this] { return monitorSpeed_; }});
  EXPECT_EQ(LCD::LinkKind(), 1);
  EXPECT_EQ(LCD::MonitorId(), 7);
  first->SetMonitorId(0, 1);
  EXPECT_EQ(LCD::LinkKind(), 0);
}

TEST_F(LCDTest, ReceivingSurvivesNoiseAndRepeatedStx) {
  peer_.Reply(Bytes("\x41\x02\x41\x02\x42\x4F\x4B\x44\x45\x03"));
  auto lcd = Connect();
  std::string body;
  ASSERT_EQ(lcd->SendPlain("OUT00000020"), LinkResult::Ok);
  EXPECT_EQ(lcd->ReceiveChecked(body), 3);
  EXPECT_EQ(body, "BOK");
}

// However late the program comes to read (held up on a busy machine), the reply to its frame
// is there to be read: nothing throws it away between the send and the read.
TEST_F(LCDTest, AReplyThatArrivedBeforeTheReadIsKept) {
  auto lcd = Connect();
  peer_.ReplyPlain("QX-7MR520");
  ASSERT_EQ(lcd->SendPlain("QID"), LinkResult::Ok);
  ASSERT_TRUE(peer_.WaitForReplies(1));
  std::string body;
  EXPECT_EQ(lcd->ReceivePlain(body), 9);
  EXPECT_EQ(body, "QX-7MR520");
}

TEST_F(LCDTest, ReceiveResults) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> reply;
    bool checked;
    int result;
    std::string body;
  } cases[] = {
      {"bad checksum",
       Bytes("\x02"
             "BOKDF\x03"),
       true, -2, "BOK"},
      {"lower-case checksum",
       Bytes("\x02"
             "BOKde\x03"),
       true, 3, "BOK"},
      {"too short for a checksum",
       Bytes("\x02"
             "B\x03"),
       true, -2, ""},
      {"empty plain body", Bytes("\x02\x03"), false, 0, ""},
      {"1920 bytes without ETX", std::vector<std::uint8_t>(1920, 'A'), false, -1, ""},
      {"1919 bytes then ETX",
       [] {
         auto b = std::vector<std::uint8_t>(1920, 'A');
         b[0] = 0x02;
         b.push_back(0x03);
         return b;
       }(),
       false, 1919, std::string(1919, 'A')},
  };
  for (const Case& c : cases) {
    PtyPeer device;
    device.Reply(c.reply);
    auto lcd = Connect(0, 1, device.DevicePath());
    std::string body;
    ASSERT_EQ(lcd->SendPlain("X"), LinkResult::Ok);
    EXPECT_EQ(c.checked ? lcd->ReceiveChecked(body) : lcd->ReceivePlain(body), c.result) << c.name;
    EXPECT_EQ(body, c.body) << c.name;
  }
}

TEST_F(LCDTest, ASilentMonitorCostsOneReadTimeOut) {
  peer_.Silence();
  auto lcd = Connect();
  EXPECT_EQ(lcd->ShowPattern(0, 0, 0), LinkResult::CommunicationError);
  EXPECT_EQ(clock_.Events(),
            (std::vector<VirtualClock::Event>{{VirtualClock::Kind::Timeout, 10000}}));
}

TEST_F(LCDTest, APortThatDoesNotExistFailsEveryExchangeWithCommunicationError) {
  auto lcd = Connect(0, 1, dir_.File("no-such-port"));
  EXPECT_FALSE(lcd->Port().IsOpen());
  const LinkResult result = lcd->ShowPattern(0, 0, 0);
  EXPECT_EQ(result, LinkResult::CommunicationError);
  EXPECT_EQ(lcd->ErrorText(result), "Communication Error");
  std::string reply;
  EXPECT_EQ(lcd->Query("QID", reply), -1);
  EXPECT_EQ(lcd->ReceivePlainNoPurge(reply), -1);
  EXPECT_EQ(lcd->BeginSession(), LinkResult::Ok);
  EXPECT_EQ(lcd->EndSession(), LinkResult::Ok);
}

TEST_F(LCDTest, ErrorTexts) {
  auto lcd = Connect();
  EXPECT_EQ(lcd->ErrorText(LinkResult::Ok), "OK");
  EXPECT_EQ(lcd->ErrorText(LinkResult::CommunicationError), "Communication Error");
  EXPECT_EQ(lcd->ErrorText(LinkResult::ChecksumError), "Checksum Error");
  EXPECT_EQ(lcd->ErrorText(LinkResult::Nack), "NACK");
  EXPECT_EQ(lcd->ErrorText(static_cast<LinkResult>(5)), "Other Error");
  EXPECT_EQ(lcd->ErrorText(LinkResult::Stopped), "Other Error");
  // The link's numbers, which a read returns where it fails and the procedures compare.
  EXPECT_EQ(static_cast<int>(LinkResult::CommunicationError), -1);
  EXPECT_EQ(static_cast<int>(LinkResult::ChecksumError), -2);
  EXPECT_EQ(static_cast<int>(LinkResult::Nack), -3);
  EXPECT_EQ(static_cast<int>(LinkResult::Stopped), -4);
  EXPECT_EQ(ResultOfRead(3), LinkResult::Ok);
  EXPECT_EQ(ResultOfRead(-2), LinkResult::ChecksumError);
}

}  // namespace
}  // namespace velluma
