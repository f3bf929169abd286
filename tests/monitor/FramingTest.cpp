#include <gtest/gtest.h>

#include "monitor/CommandText.h"
#include "monitor/Framing.h"

namespace velluma::framing {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(FramingTest, FramesSentByteForByte) {
  struct Case {
    const char* command;
    bool checked;
    int kind;
    int id;
    Bytes frame;
  } cases[] = {
      {"QID", false, 0, 1, {0x02, 0x51, 0x49, 0x44, 0x03}},
      {"QID", false, 1, 1, {0x02, 0x01, 0x51, 0x49, 0x44, 0x03}},
      {"QID", false, 1, 0x1FF, {0x02, 0xFF, 0x51, 0x49, 0x44, 0x03}},  // low 8 bits of the id
      {"MCO:1", false, 0, 0, {0x02, 0x4D, 0x43, 0x4F, 0x3A, 0x31, 0x03}},
      {"MCO:0", false, 0, 0, {0x02, 0x4D, 0x43, 0x4F, 0x3A, 0x30, 0x03}},
      {"G$M:RDC", true, 0, 0, {0x02, 0x47, 0x24, 0x4D, 0x3A, 0x52, 0x44, 0x43, 0x44, 0x39, 0x03}},
      {"OUT00000020",
       false,
       0,
       0,
       {0x02, 0x4F, 0x55, 0x54, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x32, 0x30, 0x03}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BuildFrame(c.command, c.checked, c.kind, c.id), c.frame)
        << c.command << " kind " << c.kind;
}

TEST(FramingTest, ShowPatternCarriesItsOwnChecksumOverTheSixDigits) {
  EXPECT_EQ(command_text::ShowPatternText(0, 0, 0), "OUT00000020");
  EXPECT_EQ(command_text::ShowPatternText(255, 0, 0), "OUTFF00004C");
  EXPECT_EQ(command_text::ShowPatternText(255, 255, 255), "OUTFFFFFFA4");
}

TEST(FramingTest, CheckedRepliesAreSplitAndChecked) {
  struct Case {
    std::string content;
    int result;
    std::string body;
  } cases[] = {
      {"BOKDE", 3, "BOK"},  {"BOKde", 3, "BOK"},  // either case of hex digits
      {"BOKDF", -2, "BOK"},                       // the body is still handed over
      {"G$MBA", 3, "G$M"},  {"BOKZZ", -2, "BOK"},
      {"02", 0, ""},  // an empty body: STX alone sums to 02
      {"2", -2, ""},  // no room for a checksum
      {"", -2, ""},
  };
  for (const Case& c : cases) {
    std::string body = "stale";
    EXPECT_EQ(CheckReply(c.content, body), c.result) << c.content;
    EXPECT_EQ(body, c.body) << c.content;
  }
}

TEST(FramingTest, AssemblerRestartsOnStxAndBoundsTheFrame) {
  ReplyAssembler noisy;
  const Bytes bytes{0x41, 0x02, 0x41, 0x02, 0x42, 0x4F, 0x4B, 0x44, 0x45};
  for (std::uint8_t b : bytes) EXPECT_EQ(noisy.Feed(b), ReplyAssembler::Step::More);
  EXPECT_EQ(noisy.Feed(0x03), ReplyAssembler::Step::Complete);
  EXPECT_EQ(noisy.Content(), "BOKDE");

  ReplyAssembler longest;
  for (int i = 0; i < kMaxBody; ++i) ASSERT_EQ(longest.Feed('A'), ReplyAssembler::Step::More);
  EXPECT_EQ(longest.Feed(0x03), ReplyAssembler::Step::Complete);

  ReplyAssembler overlong;
  for (int i = 0; i < kMaxBody; ++i) ASSERT_EQ(overlong.Feed('A'), ReplyAssembler::Step::More);
  EXPECT_EQ(overlong.Feed('A'), ReplyAssembler::Step::Overflow);
}

}  // namespace
}  // namespace velluma::framing
