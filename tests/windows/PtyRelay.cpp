// velluma-pty-relay: serial ports for the Windows tests under Wine. A Windows test cannot make a
// pty, so this native program makes one for it: each TCP connection on loopback gets a pty of
// its own, linked as a free COM port (COM10 and up) in the Wine prefix's dosdevices folder, and
// the connection carries the pty's far end. Started by scripts/windows; the tests find it at
// $VELLUMA_PTY_RELAY ("127.0.0.1:PORT").
//
//   velluma-pty-relay DOSDEVICES PORTFILE
//
// It writes its TCP port into PORTFILE, prints "ready", and serves until it is ended.
//
// On a connection, the relay first sends the port's name and a line end ("COM10\n"). Then:
//   relay → test: 'D', line speed (4 bytes, little-endian, bit/s; 0 when unknown), count
//                 (2 bytes, little-endian), the bytes the program wrote to the port;
//                 'S', line speed: the answer to 'S'.
//   test → relay: 'W', count (2 bytes), bytes to hand to the program; 'S': what is the line
//                 speed now?
// When the connection ends, the link and the pty go.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kFirstPort = 10;  // COM1 … COM9 are left to the prefix and the end-to-end run
constexpr int kLastPort = 250;

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

bool ReceiveAll(int fd, std::uint8_t* into, std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    const ssize_t n = ::recv(fd, into + done, count - done, 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
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

// One connection: its pty, its COM port, and the bytes between them until the test hangs up.
void Serve(int client, const std::string& dosdevices) {
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
  std::string link;
  int number = kFirstPort;
  for (; number <= kLastPort; ++number) {
    link = dosdevices + "/com" + std::to_string(number);
    if (::symlink(name, link.c_str()) == 0) break;
  }
  if (number > kLastPort) return;
  const std::string greeting = "COM" + std::to_string(number) + "\n";
  if (SendAll(client, {greeting.begin(), greeting.end()})) {
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
  ::unlink(link.c_str());
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
    const int client = ::accept(listener, nullptr, nullptr);
    if (client < 0) continue;
    if (::fork() == 0) {
      ::close(listener);
      Serve(client, dosdevices);
      ::_exit(0);
    }
    ::close(client);
  }
}
