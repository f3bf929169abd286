#include "tests/support/RawLine.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace velluma::test {

RawLine::RawLine(const std::string& device, speed_t speed)
    : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
  if (fd_ < 0) throw std::runtime_error("cannot open " + device);
  SetSpeed(speed);
  ::tcflush(fd_, TCIOFLUSH);
}

RawLine::~RawLine() {
  ::close(fd_);
}

void RawLine::SetSpeed(speed_t speed) {
  termios settings{};
  ::tcgetattr(fd_, &settings);
  ::cfmakeraw(&settings);
  ::cfsetispeed(&settings, speed);
  ::cfsetospeed(&settings, speed);
  ::tcsetattr(fd_, TCSANOW, &settings);
}

void RawLine::Write(const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t count = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (count <= 0) throw std::runtime_error("write failed");
    done += static_cast<std::size_t>(count);
  }
}

void RawLine::WriteSlowly(const std::string& bytes, Ms gap) {
  for (char byte : bytes) {
    Write(std::string(1, byte));
    std::this_thread::sleep_for(gap);
  }
}

std::optional<char> RawLine::ReadByte(Ms wait) {
  pollfd waiting{fd_, POLLIN, 0};
  if (::poll(&waiting, 1, static_cast<int>(wait.count())) <= 0) return std::nullopt;
  char byte;
  if (::read(fd_, &byte, 1) != 1) return std::nullopt;
  return byte;
}

std::string RawLine::ReadUntil(const std::function<bool(const std::string&)>& complete, Ms wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  std::string bytes;
  while (!complete(bytes)) {
    const auto left = std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return "";
    const std::optional<char> byte = ReadByte(left);
    if (!byte) return "";
    bytes.push_back(*byte);
  }
  return bytes;
}

std::string RawLine::ReadAll(Ms quiet) {
  std::string bytes;
  while (const std::optional<char> byte = ReadByte(quiet)) bytes.push_back(*byte);
  return bytes;
}

bool RawLine::StaysQuiet(Ms wait) {
  pollfd waiting{fd_, POLLIN, 0};
  return ::poll(&waiting, 1, static_cast<int>(wait.count())) == 0;
}

}  // namespace velluma::test
