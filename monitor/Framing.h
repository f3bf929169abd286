#pragma once

// Frames of the monitor link, as pure functions.
//
// Sent:     STX [id] command [CC] ETX
//   - the id byte (low 8 bits of the monitor id) only on the addressed link (kind 1);
//   - CC, on checked frames only: the sum of the command's characters from the fifth on (the
//     four-character group "G$M:" / "C$M:" / "WCG:" is not summed), modulo 256, as "%02X".
// Received: STX body [CC] ETX, never an id byte
//   - STX restarts the frame, so noise and broken starts before it are harmless;
//   - at most kMaxBody bytes between STX and ETX;
//   - a checked reply's CC (either case of hex digits) is the sum of STX and the body modulo 256.

#include <cstdint>
#include <string>
#include <vector>

namespace velluma::framing {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr int kBufferSize = 1920;          // receive work buffer, and the reply buffers
constexpr int kMaxBody = kBufferSize - 1;  // bytes between STX and ETX
constexpr int kMaxCommand = 1919;          // frame build buffer of 1924 bytes

enum class LinkKind { Plain = 0, Addressed = 1 };

// Sum of the characters of `text` from index `from` on, modulo 256.
std::uint8_t SumFrom(const std::string& text, std::size_t from);

// Two upper-case hexadecimal digits.
std::string Hex2(std::uint8_t value);

std::vector<std::uint8_t> BuildFrame(const std::string& command, bool withChecksum, int linkKind,
                                     int monitorId);

// Splits a checked reply's content (body and its two checksum characters) and checks it.
// Returns the body length, or -2 for a mismatch or a content too short to hold a checksum.
int CheckReply(const std::string& content, std::string& body);

// Collects a reply byte by byte.
class ReplyAssembler {
 public:
  enum class Step { More, Complete, Overflow };
  Step Feed(std::uint8_t byte);
  const std::string& Content() const { return content_; }

 private:
  std::string content_;
};

}  // namespace velluma::framing
