// The monitor's reply framing on any stream of bytes, fed as LCD::Receive feeds it: one
// ReplyAssembler per reply, a new one after each complete reply or overflow. Properties:
// - a completed reply is never longer than the 1919 bytes a reply buffer holds, and holds no
//   STX or ETX;
// - the assembler reports an overflow exactly when a reply runs past those bytes;
// - CheckReply accepts a reply exactly when its last two characters are hexadecimal digits
//   (either case) of the sum of STX and the rest, modulo 256, and then gives the rest as body.
#include <string>

#include "fuzz/FuzzSupport.h"
#include "monitor/Framing.h"

namespace {

namespace framing = velluma::framing;
using velluma::fuzz::Check;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether `content` is a body followed by the right checksum, worked out here on its own.
bool ChecksumHolds(const std::string& content) {
  if (content.size() < 2) return false;
  const int high = HexValue(content[content.size() - 2]);
  const int low = HexValue(content[content.size() - 1]);
  if (high < 0 || low < 0) return false;
  unsigned sum = framing::kStx;
  for (std::size_t i = 0; i + 2 < content.size(); ++i)
    sum += static_cast<unsigned char>(content[i]);
  return (sum & 0xFF) == static_cast<unsigned>(high * 16 + low);
}

void CheckChecked(const std::string& content) {
  std::string body = "stale";
  const int length = framing::CheckReply(content, body);
  if (!ChecksumHolds(content)) {
    Check(length == -2, "a reply with a wrong or missing checksum is refused with -2");
    return;
  }
  Check(length == static_cast<int>(content.size()) - 2, "an accepted reply gives its body length");
  Check(body == content.substr(0, content.size() - 2), "the body is the reply without checksum");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  // Any bytes as a reply's content, as if ETX came after them.
  CheckChecked(std::string(reinterpret_cast<const char*>(bytes), size));

  framing::ReplyAssembler assembler;
  std::size_t sinceStx = 0;  // bytes of the reply so far: since its STX, or since it began
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = bytes[i];
    const auto step = assembler.Feed(byte);
    const std::string& content = assembler.Content();
    if (byte == framing::kStx) {
      Check(step == framing::ReplyAssembler::Step::More && content.empty(), "STX starts afresh");
      sinceStx = 0;
      continue;
    }
    if (step == framing::ReplyAssembler::Step::Complete) {
      Check(byte == framing::kEtx, "only ETX completes a reply");
      Check(content.size() <= static_cast<std::size_t>(framing::kMaxBody),
            "a completed reply is never longer than 1919 bytes");
      Check(content.size() == sinceStx, "a completed reply holds every byte after its STX");
      Check(content.find(static_cast<char>(framing::kStx)) == std::string::npos &&
                content.find(static_cast<char>(framing::kEtx)) == std::string::npos,
            "a completed reply holds neither STX nor ETX");
      CheckChecked(content);
      assembler = {};
      sinceStx = 0;
      continue;
    }
    ++sinceStx;
    const bool over = sinceStx > static_cast<std::size_t>(framing::kMaxBody);
    Check((step == framing::ReplyAssembler::Step::Overflow) == over,
          "an overflow is reported when, and only when, a reply runs past 1919 bytes");
    if (over) {
      assembler = {};
      sinceStx = 0;
    }
  }
  return 0;
}
