// velluma-pty-relay: serial ports and benches for the Windows tests under Wine. A Windows test can
// neither make a pty nor start the bench (a Linux program), so this native program does both for
// it, each on a TCP connection on loopback, and links the ptys as free COM ports (COM10 and up)
// in the Wine prefix's dosdevices folder. Started by scripts/windows; the tests find it at
// $VELLUMA_PTY_RELAY ("127.0.0.1:PORT").
//
//   velluma-pty-relay DOSDEVICES PORTFILE
//
// It writes its TCP port into PORTFILE, prints "ready", and serves until it is ended. The benches
// it starts are the velluma-bench of its own build, started as the Linux tests start theirs
// (tests/support/BenchProcess.h).
//
// A connection opens with one request line from the test.
//
// "pty": a pty of the connection's own, linked as a COM port. The relay answers with the port's
// name and a line end ("COM10\n"). Then:
//   relay → test: 'D', line speed (4 bytes, little-endian, bit/s; 0 when unknown), count
//                 (2 bytes, little-endian), the bytes the program wrote to the port;
//                 'S', line speed: the answer to 'S'.
//   test → relay: 'W', count (2 bytes), bytes to hand to the program; 'S': what is the line
//                 speed now?
//
// "bench", then the bench's options, each after a tab: the bench started with those options on a
// ports folder of its own, with its control on TCP too (--control-tcp 0); its monitor's and its
// PR-655's ptys linked as COM ports. The relay answers "ready MONITOR PR655 HOST:PORT\n"
// ("ready COM11 COM12 127.0.0.1:40321": the two ports and the bench's TCP control), or
// "failed " and why on one line. Then the test may send, a line each:
//   "wait": the relay waits for the bench to end (after a "quit" on its control), as long as
//           BenchProcess does, and answers "exited STATUS\n" (STATUS as waitpid gives it) or
//           "running\n";
//   "terminate": SIGTERM, then the same as "wait".
//
// When a connection ends, its links go, and so do its pty, or its bench (SIGTERM, then SIGKILL if
// it lingers) and the bench's folder.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/BenchProcess.h"

namespace {

constexpr int kFirstPort = 10;  // COM1 … COM9 are left to the prefix and the end-to-end run
constexpr int kLastPort = 250;
constexpr std::size_t kLongestRequest = 4096;

std::uint32_t SpeedOf(int fd) {
  termios line{};
  if (::tcgetattr(fd, &line) != 0) return 0;
  switch (::cfgetospeed(&line)) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
  }
}

bool SendAll(int fd, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SendText(int fd, const std::string& text) {
  return SendAll(fd, {text.begin(), text.end()});
}

bool ReceiveAll(int fd, std::uint8_t* into, std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    const ssize_t n = ::recv(fd, into + done, count - done, 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// One line from the test, without its line end; none when the connection ends first.
std::optional<std::string> ReceiveLine(int fd) {
  std::string line;
  for (std::uint8_t c = 0; ReceiveAll(fd, &c, 1);) {
    if (c == '\n') return line;
    if (line.size() == kLongestRequest) return std::nullopt;
    line += static_cast<char>(c);
  }
  return std::nullopt;
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    const ssize_t n = ::write(fd, data + done, count - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Links `device` as the first free COM port from COM10 on: its number, or 0 when all are taken.
int LinkAsFreePort(const std::string& dosdevices, const std::string& device,
                   std::vector<std::string>& links) {
  for (int number = kFirstPort; number <= kLastPort; ++number) {
    const std::string link = dosdevices + "/com" + std::to_string(number);
    if (::symlink(device.c_str(), link.c_str()) == 0) {
      links.push_back(link);
      return number;
    }
  }
  return 0;
}

void Unlink(const std::vector<std::string>& links) {
  for (const std::string& link : links) ::unlink(link.c_str());
}

// ---- "pty" ----

// One connection's pty and COM port, and the bytes between them until the test hangs up.
void ServePty(int client, const std::string& dosdevices) {
  int master = -1, slave = -1;
  char name[128];
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
  termios raw{};
  ::tcgetattr(slave, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(slave, TCSANOW, &raw);
  // The pty is this process's controlling terminal, so it never becomes the Wine server's: the
  // server opens serial devices without O_NOCTTY, as a session leader, and would otherwise be
  // sent SIGHUP each time a pty it took goes (and dump its objects on it).
  ::setsid();
  ::ioctl(slave, TIOCSCTTY, 0);
  ::signal(SIGHUP, SIG_IGN);
  // The slave stays open here too, so the master never hangs up between the program's opens.
  std::vector<std::string> links;
  const int number = LinkAsFreePort(dosdevices, name, links);
  if (number == 0) return;
  if (SendText(client, "COM" + std::to_string(number) + "\n")) {
    for (;;) {
      pollfd fds[2] = {{master, POLLIN, 0}, {client, POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) continue;
      if (fds[0].revents & POLLIN) {
        std::uint8_t buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) {
          std::vector<std::uint8_t> record{'D'};
          PutLittleEndian(record, SpeedOf(master), 4);
          PutLittleEndian(record, static_cast<std::uint32_t>(n), 2);
          record.insert(record.end(), buffer, buffer + n);
          if (!SendAll(client, record)) break;
        }
      }
      if (fds[1].revents) {
        std::uint8_t kind = 0;
        if (!ReceiveAll(client, &kind, 1)) break;
        if (kind == 'S') {
          std::vector<std::uint8_t> record{'S'};
          PutLittleEndian(record, SpeedOf(master), 4);
          if (!SendAll(client, record)) break;
        } else if (kind == 'W') {
          std::uint8_t count[2];
          if (!ReceiveAll(client, count, 2)) break;
          std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count[0] | count[1] << 8));
          if (!ReceiveAll(client, bytes.data(), bytes.size()) ||
              !WriteAll(master, bytes.data(), bytes.size()))
            break;
        } else {
          break;
        }
      }
    }
  }
  Unlink(links);
}

// ---- "bench" ----

// Makes `device` the controlling terminal of a small process of its own, for as long as the
// returned socket stays open, for the reason ServePty gives: two ptys need two sessions. -1 when
// it cannot.
int HoldAsControllingTerminal(const std::string& device) {
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return -1;
  const pid_t holder = ::fork();
  if (holder == 0) {
    ::close_range(3, ends[1] - 1, 0);  // nothing of the relay's: the test's connection above all
    ::close_range(ends[1] + 1, ~0U, 0);
    ::setsid();
    ::signal(SIGHUP, SIG_IGN);
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    const char taken = fd >= 0 && ::ioctl(fd, TIOCSCTTY, 0) == 0 ? '1' : '0';
    ::send(ends[1], &taken, 1, MSG_NOSIGNAL);
    char byte;
    while (::recv(ends[1], &byte, 1, 0) > 0) {
    }
    ::_exit(0);
  }
  ::close(ends[1]);
  char taken = '0';
  if (holder < 0 || ::recv(ends[0], &taken, 1, 0) != 1 || taken != '1') {
    ::close(ends[0]);
    return -1;
  }
  return ends[0];
}

// One bench for one connection (the tests' own BenchProcess, with its control on TCP too) and
// what links it to the prefix.
class RelayedBench {
 public:
  explicit RelayedBench(const std::vector<std::string>& options);
  ~RelayedBench();
  RelayedBench(const RelayedBench&) = delete;
  RelayedBench& operator=(const RelayedBench&) = delete;

  // "ready MONITOR PR655 HOST:PORT", or "failed " and why.
  std::string LinkPorts(const std::string& dosdevices);
  // "exited STATUS" once the bench has ended within its patience, else "running"; with
  // `terminate`, after a SIGTERM.
  std::string WaitForExit(bool terminate);

 private:
  std::optional<BenchProcess> bench_;
  std::string failure_;
  std::vector<std::string> links_;
  std::vector<int> terminalHolders_;
};

RelayedBench::RelayedBench(const std::vector<std::string>& options) {
  std::vector<std::string> arguments = {"--control-tcp", "0"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  try {
    bench_.emplace(arguments);
  } catch (const std::exception& error) {
    failure_ = error.what();
    for (char& c : failure_)
      if (c == '\n' || c == '\r') c = ' ';
  }
}

RelayedBench::~RelayedBench() {
  bench_.reset();  // ends the bench before the holders are waited for below
  Unlink(links_);
  for (int holder : terminalHolders_) ::close(holder);
  while (::waitpid(-1, nullptr, 0) > 0) {  // the holders, gone with their sockets
  }
}

std::string RelayedBench::LinkPorts(const std::string& dosdevices) {
  if (!bench_) return "failed " + failure_;
  std::string answer = "ready";
  for (const std::string& port : {bench_->MonitorDevice(), bench_->Pr655Device()}) {
    std::error_code error;
    const std::string device = std::filesystem::read_symlink(port, error).string();
    const int holder = error ? -1 : HoldAsControllingTerminal(device);
    if (holder < 0) return "failed the bench's " + port + " cannot be taken";
    terminalHolders_.push_back(holder);
    const int number = LinkAsFreePort(dosdevices, device, links_);
    if (number == 0) return "failed no free COM port";
    answer += " COM" + std::to_string(number);
  }
  std::ifstream control(bench_->PortsDir() + "/bench.tcp");
  std::string address;
  if (!std::getline(control, address)) return "failed the bench wrote no bench.tcp";
  return answer + " " + address;
}

std::string RelayedBench::WaitForExit(bool terminate) {
  try {
    return "exited " + std::to_string(terminate ? bench_->Terminate() : bench_->WaitForExit());
  } catch (const std::runtime_error&) {
    return "running";
  }
}

// The bench's options come after "bench", a tab before each.
std::vector<std::string> BenchOptions(const std::string& request) {
  std::vector<std::string> options;
  std::istringstream fields(request);
  std::string field;
  std::getline(fields, field, '\t');
  while (std::getline(fields, field, '\t')) options.push_back(field);
  return options;
}

void ServeBench(int client, const std::string& dosdevices, const std::string& request) {
  ::signal(SIGCHLD, SIG_DFL);  // this process waits for its bench
  RelayedBench bench(BenchOptions(request));
  const std::string answer = bench.LinkPorts(dosdevices);
  if (!SendText(client, answer + "\n") || answer.rfind("ready", 0) != 0) return;
  while (const std::optional<std::string> line = ReceiveLine(client)) {
    if (*line != "wait" && *line != "terminate") break;
    if (!SendText(client, bench.WaitForExit(*line == "terminate") + "\n")) break;
  }
}

void Serve(int client, const std::string& dosdevices) {
  const std::optional<std::string> request = ReceiveLine(client);
  if (request == "pty") ServePty(client, dosdevices);
  if (request && (*request == "bench" || request->rfind("bench\t", 0) == 0))
    ServeBench(client, dosdevices, *request);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velluma-pty-relay DOSDEVICES PORTFILE\n");
    return 2;
  }
  const std::string dosdevices = argv[1];
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 16) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("velluma-pty-relay");
    return 1;
  }
  std::ofstream(argv[2]) << ntohs(address.sin_port) << "\n";
  ::signal(SIGCHLD, SIG_IGN);  // each connection's process ends by itself, unwaited
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    if (::fork() == 0) {
      ::close(listener);
      Serve(client, dosdevices);
      ::_exit(0);
    }
    ::close(client);
  }
}
