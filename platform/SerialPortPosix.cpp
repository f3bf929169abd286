// The serial port on POSIX, with termios.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/PortNames.h"
#include "platform/SerialPort.h"

namespace velluma {

namespace {

struct SpeedCode {
  int bitsPerSecond;
  speed_t code;
};

constexpr SpeedCode kSpeeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

bool SpeedToCode(int speed, speed_t& code) {
  for (const SpeedCode& s : kSpeeds)
    if (s.bitsPerSecond == speed) {
      code = s.code;
      return true;
    }
  return false;
}

tcflag_t DataBitsFlag(int dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

using SteadyClock = std::chrono::steady_clock;

int FdOf(std::intptr_t handle) {
  return static_cast<int>(handle);
}

int RemainingMs(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// True when the port is ready for `events` within `realMs` (also on an error or hang-up, which
// the next call reports).
bool WaitFor(int fd, short events, int realMs) {
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(realMs);
  for (;;) {
    pollfd p{fd, events, 0};
    int ready = ::poll(&p, 1, RemainingMs(deadline));
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return true;
  }
}

// A device without modem lines (a pty) has nothing to drop.
bool DropModemLines(int fd) {
  int lines = TIOCM_DTR | TIOCM_RTS;
  return ::ioctl(fd, TIOCMBIC, &lines) == 0 || errno == ENOTTY || errno == EINVAL;
}

}  // namespace

SerialPort::~SerialPort() {
  Close();
}

// What a user refused a serial device needs to know: the group that may use it and how to join
// it, or that only its owner may.
static std::string AccessAdviceFor(const std::string& device) {
  struct stat status {};
  if (::stat(device.c_str(), &status) != 0) return {};
  const std::string refused = device + ": permission denied";
  const bool groupMayUse = (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  const struct group* owners = ::getgrgid(status.st_gid);
  if (!groupMayUse || !owners) return refused + "; only its owner may use it";
  const std::string group = owners->gr_name;
  return refused + "; members of the group '" + group + "' may use it: add yourself with " +
         "'sudo adduser $USER " + group + "' and log in again";
}

bool SerialPort::Fail(const std::string& what) {
  lastError_ = what + ": " + std::strerror(errno);
  return false;
}

// The process holding a whole-file lock on `device`, as the kernel lists it in /proc/locks
// ("1: FLOCK  ADVISORY  WRITE 4242 00:19:8 0 EOF"): " by process 4242 (velluma-cli)", or empty
// where it cannot be known.
static std::string LockHolderOf(const std::string& device) {
  struct stat status {};
  if (::stat(device.c_str(), &status) != 0) return {};
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string number, kind, advisory, mode, file;
    long pid = 0;
    if (!(fields >> number >> kind >> advisory >> mode >> pid >> file) || kind != "FLOCK") continue;
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(file.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
    if (major != ::major(status.st_dev) || minor != ::minor(status.st_dev) ||
        inode != status.st_ino)
      continue;
    std::string program;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), program);
    return " by process " + std::to_string(pid) + (program.empty() ? "" : " (" + program + ")");
  }
  return {};
}

// "COM1 (/dev/ttyUSB0) is in use by process 4242 (velluma-cli)"; `others` names the holder
// when the kernel does not tell it.
static std::string BusyText(const std::string& name, const std::string& device,
                            const char* others) {
  char target[PATH_MAX];
  const std::string shown = ::realpath(device.c_str(), target) ? target : device;
  const std::string label = name == shown ? name : name + " (" + shown + ")";
  const std::string holder = LockHolderOf(device);
  return label + " is in use" + (holder.empty() ? std::string(" by ") + others : holder);
}

// One run per port, for every user: a whole-file lock on the device that the next run meets (the
// lock goes with the process, however it ends), taken before anything touches the line, and the
// terminal's exclusive mode against programs that take no lock (cleared again on close, since a
// pty whose other end stays open would keep it and refuse every later user but root).
bool SerialPort::TakePort(const std::string& name) {
  const int fd = FdOf(handle_);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) busyReason_ = BusyText(name, devicePath_, "another run");
    return Fail("cannot lock " + devicePath_);
  }
  return ::ioctl(fd, TIOCEXCL) == 0 || Fail("cannot hold " + devicePath_);
}

bool SerialPort::Open(const std::string& name, const LineSettings& settings) {
  Close();
  requested_ = settings;
  devicePath_ = ResolvePortName(name);
  accessAdvice_.clear();
  busyReason_.clear();
  const int fd = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == EACCES || error == EPERM) accessAdvice_ = AccessAdviceFor(devicePath_);
    if (error == EBUSY) busyReason_ = BusyText(name, devicePath_, "another program");
    errno = error;
    return Fail("cannot open " + devicePath_);
  }
  handle_ = fd;
  if (!TakePort(name)) {
    const std::string error = lastError_;
    ::close(fd);  // untouched: the line stays as its holder set it
    handle_ = kNoHandle;
    lastError_ = error;
    return false;
  }
  if (!ApplyLineSettings() ||
      (!DropModemLines(fd) && !Fail("cannot drop DTR and RTS on " + devicePath_)) ||
      ::tcflush(fd, TCIOFLUSH) != 0) {
    const std::string error = lastError_.empty() ? "cannot set up " + devicePath_ : lastError_;
    Close();
    lastError_ = error;
    return false;
  }
  lastError_.clear();
  return true;
}

void SerialPort::Close() {
  if (handle_ == kNoHandle) return;
  ::ioctl(FdOf(handle_), TIOCNXCL);
  ::close(FdOf(handle_));
  handle_ = kNoHandle;
}

bool SerialPort::ApplyLineSettings() {
  const int fd = FdOf(handle_);
  speed_t speed;
  if (!SpeedToCode(requested_.speed, speed)) {
    errno = EINVAL;
    return Fail("unsupported speed " + std::to_string(requested_.speed));
  }
  termios line{};
  if (::tcgetattr(fd, &line) != 0) return Fail("not a serial port: " + devicePath_);
  ::cfmakeraw(&line);
  line.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
  line.c_cflag |= DataBitsFlag(requested_.dataBits) | CLOCAL | CREAD;
  if (requested_.stopBits == 2) line.c_cflag |= CSTOPB;
  line.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  ::cfsetispeed(&line, speed);
  ::cfsetospeed(&line, speed);

  const bool wantParity = requested_.parity == Parity::Even;
  if (wantParity) line.c_cflag |= PARENB;
  if (::tcsetattr(fd, TCSANOW, &line) != 0) {
    // A device without parity (a pty) may refuse it; the line then runs without.
    if (!wantParity || errno != EINVAL) return Fail("cannot set up " + devicePath_);
    line.c_cflag &= ~PARENB;
    if (::tcsetattr(fd, TCSANOW, &line) != 0) return Fail("cannot set up " + devicePath_);
  }
  termios applied{};
  if (::tcgetattr(fd, &applied) != 0) return Fail("cannot read back " + devicePath_);
  parityApplied_ = wantParity && (applied.c_cflag & PARENB);
  return true;
}

SerialPort::ReadResult SerialPort::ReadByte(std::uint8_t& byte, int timeoutMs) {
  if (handle_ == kNoHandle) return ReadResult::Failed;
  const int fd = FdOf(handle_);
  if (!WaitFor(FdOf(handle_), POLLIN, clock_.WaitBudget(timeoutMs))) {
    clock_.TimedOut(timeoutMs);
    return ReadResult::Timeout;
  }
  for (;;) {
    ssize_t n = ::read(fd, &byte, 1);
    if (n == 1) return ReadResult::Byte;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {  // woken without data: wait out the rest as a time-out
      clock_.TimedOut(timeoutMs);
      return ReadResult::Timeout;
    }
    if (n == 0) errno = EIO;
    Fail("read from " + devicePath_);
    return ReadResult::Failed;
  }
}

long SerialPort::Write(const std::uint8_t* data, std::size_t count, int timeoutMs) {
  if (handle_ == kNoHandle) return -1;
  const int fd = FdOf(handle_);
  const auto deadline =
      SteadyClock::now() + std::chrono::milliseconds(clock_.WaitBudget(timeoutMs));
  std::size_t written = 0;
  while (written < count) {
    ssize_t n = ::write(fd, data + written, count - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      Fail("write to " + devicePath_);
      return -1;
    }
    if (RemainingMs(deadline) == 0 || !WaitFor(FdOf(handle_), POLLOUT, RemainingMs(deadline)))
      break;
  }
  if (::tcdrain(fd) != 0 && errno != EINTR) {
    Fail("drain " + devicePath_);
    return -1;
  }
  return static_cast<long>(written);
}

bool SerialPort::Purge() {
  if (handle_ == kNoHandle) return false;
  const int fd = FdOf(handle_);
  if (::tcdrain(fd) != 0 && errno != EINTR) return Fail("drain " + devicePath_);
  if (::tcflush(fd, TCIFLUSH) != 0) return Fail("flush " + devicePath_);
  return true;
}

bool SerialPort::SetSpeed(int speed) {
  if (handle_ == kNoHandle) return false;
  const int fd = FdOf(handle_);
  speed_t code;
  termios line{};
  if (!SpeedToCode(speed, code) || ::tcgetattr(fd, &line) != 0) return false;
  ::cfsetispeed(&line, code);
  ::cfsetospeed(&line, code);
  if (::tcsetattr(fd, TCSANOW, &line) != 0) return Fail("set speed of " + devicePath_);
  requested_.speed = speed;
  return true;
}

}  // namespace velluma
