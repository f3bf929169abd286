#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Bytes and checksums of the monitor link as the monitor sees them.
namespace velluma::bench::wire {

inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;

// Sum of the byte values, modulo 256.
uint8_t ByteSum(std::string_view bytes);
// Two upper-case hexadecimal digits.
std::string HexByte(uint8_t value);
// Value of `digits` when every character is an upper-case hexadecimal digit (the monitor reads
// the program's "%0nX" fields and nothing else); nullopt otherwise or when empty.
std::optional<long> ParseUpperHex(std::string_view digits);

// Checksum of a checked reply: STX plus every body byte, modulo 256.
uint8_t ReplyChecksum(std::string_view body);
// STX body ETX.
std::string PlainFrame(std::string_view body);
// STX body CC ETX, CC the reply checksum in upper-case hexadecimal.
std::string CheckedFrame(std::string_view body);
// Like CheckedFrame, but with a checksum that is off by one.
std::string WrongSumFrame(std::string_view body);

// A command text for the log: printable ASCII as is, every other byte (and the backslash) as
// \xNN.
std::string Escaped(std::string_view text);

}  // namespace velluma::bench::wire
