#include "bench/wire/PtyPort.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace velluma::bench {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

int BitsPerSecond(speed_t speed) {
  static constexpr std::pair<speed_t, int> kSpeeds[] = {
      {B1200, 1200},     {B2400, 2400},     {B4800, 4800},    {B9600, 9600},
      {B19200, 19200},   {B38400, 38400},   {B57600, 57600},  {B115200, 115200},
      {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};
  for (const auto& [code, bits] : kSpeeds) {
    if (code == speed) return bits;
  }
  return 0;
}

}  // namespace

PtyPort::PtyPort(std::filesystem::path linkPath) : link_(std::move(linkPath)) {
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) Fail("openpty");
  master_ = UniqueFd(master);
  slave_ = UniqueFd(slave);
  const char* name = ::ptsname(master);
  if (name == nullptr) Fail("ptsname");
  device_ = name;
  int flags = ::fcntl(master, F_GETFL);
  if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) < 0) Fail("fcntl");
  MakeRaw();
  Link();
}

PtyPort::~PtyPort() {
  std::error_code error;
  if (std::filesystem::read_symlink(link_, error) == device_) {
    std::filesystem::remove(link_, error);
  }
}

void PtyPort::MakeRaw() {
  termios settings{};
  if (::tcgetattr(master_.Get(), &settings) != 0) Fail("tcgetattr");
  ::cfmakeraw(&settings);
  ::cfsetispeed(&settings, B9600);
  ::cfsetospeed(&settings, B9600);
  if (::tcsetattr(master_.Get(), TCSANOW, &settings) != 0) Fail("tcsetattr");
}

// The new link is made beside the old one and renamed over it, so COM1 never goes missing.
void PtyPort::Link() {
  std::filesystem::path temporary = link_;
  temporary += ".new";
  std::error_code error;
  std::filesystem::remove(temporary, error);
  std::filesystem::create_symlink(device_, temporary);
  std::filesystem::rename(temporary, link_);
}

int PtyPort::LineSpeed() const {
  termios settings{};
  if (::tcgetattr(master_.Get(), &settings) != 0) return 0;
  return BitsPerSecond(::cfgetospeed(&settings));
}

ssize_t PtyPort::Read(char* buffer, size_t size) {
  return ::read(master_.Get(), buffer, size);
}

ssize_t PtyPort::Write(const char* data, size_t size) {
  return ::write(master_.Get(), data, size);
}

}  // namespace velluma::bench
