#pragma once

#include <termios.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace velluma::test {

// The program's end of a serial line, for tests that speak to the bench's devices with framing
// of their own: a tty opened raw at a speed, written whole or byte by byte, read with a wait.
class RawLine {
 public:
  using Ms = std::chrono::milliseconds;

  // Throws std::runtime_error when the device cannot be opened.
  explicit RawLine(const std::string& device, speed_t speed = B9600);
  ~RawLine();
  RawLine(const RawLine&) = delete;
  RawLine& operator=(const RawLine&) = delete;

  void SetSpeed(speed_t speed);
  // Throws std::runtime_error when a write fails.
  void Write(const std::string& bytes);
  void WriteSlowly(const std::string& bytes, Ms gap);

  // The next byte, or none when nothing arrives within `wait`.
  std::optional<char> ReadByte(Ms wait);
  // Bytes until `complete` holds for what has arrived; empty when it does not within `wait`.
  std::string ReadUntil(const std::function<bool(const std::string&)>& complete, Ms wait);
  // Every byte that arrives until the line stays quiet for `quiet`.
  std::string ReadAll(Ms quiet);
  // True when nothing at all arrives within `wait`.
  bool StaysQuiet(Ms wait);

 private:
  int fd_;
};

}  // namespace velluma::test
