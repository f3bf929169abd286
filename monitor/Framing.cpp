#include "monitor/Framing.h"

#include <cctype>

namespace velluma::framing {

std::uint8_t SumFrom(const std::string& text, std::size_t from) {
  unsigned sum = 0;
  for (std::size_t i = from; i < text.size(); ++i) sum += static_cast<std::uint8_t>(text[i]);
  return static_cast<std::uint8_t>(sum);
}

std::string Hex2(std::uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::vector<std::uint8_t> BuildFrame(const std::string& command, bool withChecksum, int linkKind,
                                     int monitorId) {
  std::vector<std::uint8_t> frame{kStx};
  if (linkKind == static_cast<int>(LinkKind::Addressed))
    frame.push_back(static_cast<std::uint8_t>(monitorId & 0xFF));
  frame.insert(frame.end(), command.begin(), command.end());
  if (withChecksum) {
    const std::string checksum = Hex2(SumFrom(command, 4));
    frame.insert(frame.end(), checksum.begin(), checksum.end());
  }
  frame.push_back(kEtx);
  return frame;
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

int CheckReply(const std::string& content, std::string& body) {
  if (content.size() < 2) {  // no room for a checksum
    body.clear();
    return -2;
  }
  body = content.substr(0, content.size() - 2);
  const int high = HexDigit(content[content.size() - 2]);
  const int low = HexDigit(content[content.size() - 1]);
  const unsigned expected = (kStx + SumFrom(body, 0)) & 0xFF;
  if (high < 0 || low < 0 || static_cast<unsigned>(high * 16 + low) != expected) return -2;
  return static_cast<int>(body.size());
}

ReplyAssembler::Step ReplyAssembler::Feed(std::uint8_t byte) {
  if (byte == kStx) {
    content_.clear();
    return Step::More;
  }
  if (byte == kEtx) return Step::Complete;
  content_.push_back(static_cast<char>(byte));
  return content_.size() >= static_cast<std::size_t>(kBufferSize) ? Step::Overflow : Step::More;
}

}  // namespace velluma::framing
