#include "bench/instruments/BenchClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace velluma::bench::client {
namespace {

constexpr auto kPatience = std::chrono::seconds(5);

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

bool EndsAnswer(const std::string& text) {
  return text == ".\n" || (text.size() >= 3 && text.compare(text.size() - 3, 3, "\n.\n") == 0);
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

std::vector<std::string> Lines(const std::string& answer) {
  std::vector<std::string> lines;
  size_t begin = 0;
  for (size_t end; (end = answer.find('\n', begin)) != std::string::npos; begin = end + 1) {
    std::string line = answer.substr(begin, end - begin);
    if (line == ".") break;
    lines.push_back(line);
  }
  return lines;
}

template <typename Number>
bool Parse(const std::string& text, Number& value) {
  const char* end = text.data() + text.size();
  auto [next, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && next == end;
}

std::optional<double> DecimalAt(const std::string& line, size_t& at) {
  size_t end = line.find(' ', at);
  std::string field = line.substr(at, end == std::string::npos ? end : end - at);
  at = end == std::string::npos ? line.size() : end + 1;
  double value = 0;
  if (!Parse(field, value)) return std::nullopt;
  return value;
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

std::optional<std::vector<std::string>> Ask(const std::string& request) {
  Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!Connect(socket, SocketPath()) || !SendAll(socket, request + "\n")) return std::nullopt;
  std::optional<std::string> answer = ReceiveAnswer(socket);
  if (!answer) return std::nullopt;
  return Lines(*answer);
}

std::optional<int32_t> ReportCall(const std::string& device, const std::string& call,
                                  int32_t failure) {
  std::optional<std::vector<std::string>> answer = Ask(device + " " + call);
  if (!answer || answer->size() != 1) return std::nullopt;
  const std::string& verdict = answer->front();
  if (verdict == "ok") return 0;
  if (verdict == "fail") return failure;
  int32_t code = 0;
  if (verdict.rfind("code ", 0) == 0 && Parse(verdict.substr(5), code)) return code;
  return std::nullopt;
}

std::optional<Light> Measure() {
  std::optional<std::vector<std::string>> answer = Ask("measure");
  if (!answer || answer->size() != 1) return std::nullopt;
  size_t at = 0;
  std::optional<double> x = DecimalAt(answer->front(), at);
  std::optional<double> y = DecimalAt(answer->front(), at);
  std::optional<double> luminance = DecimalAt(answer->front(), at);
  if (!x || !y || !luminance || at != answer->front().size()) return std::nullopt;
  return Light{*x, *y, *luminance};
}

}  // namespace velluma::bench::client
