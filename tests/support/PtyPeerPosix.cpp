// The far end of a pty of the test's own, on POSIX.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "tests/support/PtyPeer.h"

namespace velluma::test {

namespace {
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
  // The thread wakes on the pipe; a pipe with room takes the byte, so a failure cannot happen
  // here short of a closed pipe, and the thread ends on its own then too.
  [[maybe_unused]] const ssize_t woken = ::write(wake_[1], "x", 1);
  thread_.join();
  ::close(master_);
  ::close(wake_[0]);
  ::close(wake_[1]);
}

int PtyPeer::LineSpeed() const {
  termios line{};
  ::tcgetattr(master_, &line);  // on Linux the master reports the slave's settings
  return SpeedOf(::cfgetospeed(&line));
}

void PtyPeer::Send(const std::vector<std::uint8_t>& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
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
      const int speed = n > 0 ? LineSpeed() : -1;
      for (ssize_t i = 0; i < n; ++i) OnByte(buffer[i], speed);
    } else if (fds[0].revents) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));  // slave closed for now
    }
  }
}

}  // namespace velluma::test
