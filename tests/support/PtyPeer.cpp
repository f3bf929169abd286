#include "tests/support/PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace velluma::test {

namespace {
constexpr auto kReplyDelay = std::chrono::milliseconds(15);
constexpr std::uint8_t kStx = 0x02, kEtx = 0x03;

int SpeedOf(speed_t code) {
  switch (code) {
    case B1200:
      return 1200;
    case B2400:
      return 2400;
    case B4800:
      return 4800;
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    case B57600:
      return 57600;
    case B115200:
      return 115200;
    default:
      return -1;
  }
}
}  // namespace

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::vector<std::uint8_t> CheckedReply(const std::string& body) {
  unsigned sum = kStx;
  for (unsigned char c : body) sum += c;
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum & 0xFF);
  return Bytes("\x02" + body + digits + "\x03");
}

PtyPeer::PtyPeer(Framing framing) : framing_(framing) {
  int slave = -1;
  char name[128];
  if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
  termios raw{};
  ::tcgetattr(master_, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(master_, TCSANOW, &raw);
  ::close(slave);  // the link under test opens the slave by its path
  slavePath_ = name;
  if (::pipe(wake_) != 0) throw std::runtime_error("pipe");
  thread_ = std::thread([this] { Run(); });
}

PtyPeer::~PtyPeer() {
  ::write(wake_[1], "x", 1);
  thread_.join();
  ::close(master_);
  ::close(wake_[0]);
  ::close(wake_[1]);
}

void PtyPeer::Reply(std::optional<std::vector<std::uint8_t>> bytes) {
  std::lock_guard lock(mutex_);
  replies_.push_back(std::move(bytes));
}

void PtyPeer::ReplyPlain(const std::string& body) {
  Reply(Bytes("\x02" + body + "\x03"));
}

void PtyPeer::ReplyChecked(const std::string& body) {
  Reply(CheckedReply(body));
}

std::vector<std::uint8_t> PtyPeer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<std::string> PtyPeer::Frames() const {
  std::lock_guard lock(mutex_);
  return frames_;
}

std::vector<int> PtyPeer::FrameSpeeds() const {
  std::lock_guard lock(mutex_);
  return frameSpeeds_;
}

int PtyPeer::LineSpeed() const {
  termios line{};
  ::tcgetattr(master_, &line);  // on Linux the master reports the slave's settings
  return SpeedOf(::cfgetospeed(&line));
}

bool PtyPeer::WaitForFrames(std::size_t count) {
  std::unique_lock lock(mutex_);
  return frameArrived_.wait_for(lock, std::chrono::seconds(2),
                                [&] { return frames_.size() >= count; });
}

void PtyPeer::OnByte(std::uint8_t byte) {
  std::optional<std::vector<std::uint8_t>> reply;
  {
    std::lock_guard lock(mutex_);
    received_.push_back(byte);
    const bool lines = framing_ == Framing::Lines;
    if (!lines && byte == kStx) {
      current_.clear();
      return;
    }
    if (byte != (lines ? '\r' : kEtx)) {
      current_.push_back(static_cast<char>(byte));
      return;
    }
    frames_.push_back(current_);
    frameSpeeds_.push_back(LineSpeed());
    current_.clear();
    if (!replies_.empty()) {
      reply = std::move(replies_.front());
      replies_.pop_front();
    }
  }
  frameArrived_.notify_all();
  if (!reply) return;
  std::this_thread::sleep_for(kReplyDelay);
  for (std::size_t done = 0; done < reply->size();) {
    ssize_t n = ::write(master_, reply->data() + done, reply->size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
}

void PtyPeer::Run() {
  for (;;) {
    pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) return;
    if (fds[0].revents & POLLIN) {
      std::uint8_t buffer[4096];
      ssize_t n = ::read(master_, buffer, sizeof buffer);
      for (ssize_t i = 0; i < n; ++i) OnByte(buffer[i]);
    } else if (fds[0].revents) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));  // slave closed for now
    }
  }
}

}  // namespace velluma::test
