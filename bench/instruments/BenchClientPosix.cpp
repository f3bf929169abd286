// The bench's libraries on Linux reach it through its Unix control socket.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "bench/instruments/BenchClient.h"
#include "bench/instruments/BenchTransport.h"

namespace velluma::bench::client {
namespace {

// Owns a socket for one request.
class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool Connect(const Socket& socket, const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socket.Get() < 0 || path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return ::connect(socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

bool SendAll(const Socket& socket, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    ssize_t count = ::send(socket.Get(), text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    done += static_cast<size_t>(count);
  }
  return true;
}

std::optional<std::string> ReceiveAnswer(const Socket& socket) {
  auto deadline = std::chrono::steady_clock::now() + kPatience;
  std::string text;
  while (!EndsAnswer(text)) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd waiting{socket.Get(), POLLIN, 0};
    int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char buffer[4096];
    ssize_t count = ::recv(socket.Get(), buffer, sizeof buffer, 0);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return std::nullopt;
    text.append(buffer, static_cast<size_t>(count));
  }
  return text;
}

}  // namespace

std::string SocketPath() {
  std::string path = Environment("VELLUMA_BENCH_SOCKET");
  if (!path.empty()) return path;
  std::string ports = Environment("VELLUMA_PORTS");
  if (!ports.empty()) return ports + "/bench.sock";
  std::string home = Environment("HOME");
  if (!home.empty()) return home + "/.config/Quillem/Velluma/ports/bench.sock";
  return {};
}

std::optional<std::string> Exchange(const std::string& request) {
  Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!Connect(socket, SocketPath()) || !SendAll(socket, request)) return std::nullopt;
  return ReceiveAnswer(socket);
}

}  // namespace velluma::bench::client
