#include "bench/wire/WireFormat.h"

#include <cstdio>

namespace velluma::bench::wire {
namespace {

int UpperHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

uint8_t ByteSum(std::string_view bytes) {
  unsigned sum = 0;
  for (char c : bytes) sum += static_cast<unsigned char>(c);
  return static_cast<uint8_t>(sum & 0xFF);
}

std::string HexByte(uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::optional<long> ParseUpperHex(std::string_view digits) {
  // Eight digits at most, so the value always fits.
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  long value = 0;
  for (char c : digits) {
    int digit = UpperHexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

uint8_t ReplyChecksum(std::string_view body) {
  return static_cast<uint8_t>((kStx + ByteSum(body)) & 0xFF);
}

std::string PlainFrame(std::string_view body) {
  std::string frame(1, kStx);
  frame.append(body);
  frame.push_back(kEtx);
  return frame;
}

std::string CheckedFrame(std::string_view body) {
  std::string withSum(body);
  withSum += HexByte(ReplyChecksum(body));
  return PlainFrame(withSum);
}

std::string WrongSumFrame(std::string_view body) {
  std::string withSum(body);
  withSum += HexByte(static_cast<uint8_t>(ReplyChecksum(body) + 1));
  return PlainFrame(withSum);
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\') {
      out.push_back(c);
    } else {
      char buffer[5];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
      out += buffer;
    }
  }
  return out;
}

}  // namespace velluma::bench::wire
