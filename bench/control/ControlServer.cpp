#include "bench/control/ControlServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace velluma::bench {
namespace {

// A request line longer than this is not a request; the connection is dropped.
constexpr size_t kLongestRequest = 64 * 1024;

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

sockaddr_un AddressOf(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string& text = path.native();
  if (text.size() >= sizeof address.sun_path) {
    throw std::system_error(ENAMETOOLONG, std::generic_category(), "control socket " + text);
  }
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return address;
}

void SetNonBlocking(int fd) {
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) Fail("fcntl");
}

// Binds a TCP socket to 127.0.0.1:`port`; `port` becomes the port bound (the one the system
// picked when it was 0).
UniqueFd ListenOnLoopback(uint16_t& port) {
  UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!listener.Valid()) Fail("socket");
  // A bench started again on the same port must not wait for the last run's connections.
  int reuse = 1;
  if (::setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0) {
    Fail("setsockopt");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Fail("bind 127.0.0.1:" + std::to_string(port));
  }
  socklen_t size = sizeof address;
  if (::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    Fail("getsockname");
  }
  port = ntohs(address.sin_port);
  return listener;
}

void WriteAddress(const std::filesystem::path& file, uint16_t port) {
  std::ofstream out(file, std::ios::trunc);
  out << "127.0.0.1:" << port << "\n";
  out.close();
  if (!out) Fail("write " + file.native());
}

}  // namespace

ControlServer::ControlServer(std::filesystem::path socketPath, Handler handler)
    : path_(std::move(socketPath)), handler_(std::move(handler)) {
  sockaddr_un address = AddressOf(path_);
  listener_ = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!listener_.Valid()) Fail("socket");
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  if (::bind(listener_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Fail("bind " + path_.native());
  }
  if (::listen(listener_.Get(), 8) != 0) Fail("listen");
  SetNonBlocking(listener_.Get());
}

ControlServer::ControlServer(uint16_t port, std::filesystem::path addressFile, Handler handler)
    : path_(std::move(addressFile)), handler_(std::move(handler)) {
  listener_ = ListenOnLoopback(port);
  if (::listen(listener_.Get(), 8) != 0) Fail("listen");
  SetNonBlocking(listener_.Get());
  WriteAddress(path_, port);
}

ControlServer::~ControlServer() {
  for (Connection& connection : connections_) {
    timeval limit{0, 200 * 1000};
    ::setsockopt(connection.fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    int flags = ::fcntl(connection.fd.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(connection.fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    Send(connection);
  }
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

void ControlServer::CollectInterests(TimePoint, std::vector<PollInterest>& interests) {
  interests.push_back({listener_.Get(), POLLIN});
  for (const Connection& connection : connections_) {
    short events = connection.inputClosed ? 0 : POLLIN;
    if (!connection.out.empty()) events |= POLLOUT;
    interests.push_back({connection.fd.Get(), events});
  }
}

void ControlServer::OnEvents(int fd, short revents, TimePoint) {
  if (fd == listener_.Get()) {
    Accept();
    return;
  }
  for (Connection& connection : connections_) {
    if (connection.fd.Get() != fd) continue;
    if (revents & (POLLIN | POLLHUP | POLLERR)) Receive(connection);
    if (revents & POLLOUT) Send(connection);
    return;
  }
}

// Drops connections that are finished: broken, or closed by the client and fully answered.
void ControlServer::OnTick(TimePoint) {
  connections_.remove_if(
      [](const Connection& c) { return c.broken || (c.inputClosed && c.out.empty()); });
}

void ControlServer::Accept() {
  int fd = ::accept4(listener_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;
  connections_.push_back(Connection{UniqueFd(fd), {}, {}, false, false});
}

void ControlServer::Receive(Connection& connection) {
  char buffer[4096];
  ssize_t count = ::recv(connection.fd.Get(), buffer, sizeof buffer, 0);
  if (count < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (count <= 0) {
    // The client closed its side: a last line without newline still counts.
    connection.inputClosed = true;
    if (!connection.in.empty()) connection.in.push_back('\n');
  } else {
    connection.in.append(buffer, static_cast<size_t>(count));
  }
  AnswerLines(connection);
  if (connection.in.size() > kLongestRequest) connection.broken = true;
  Send(connection);
}

void ControlServer::AnswerLines(Connection& connection) {
  size_t end;
  while ((end = connection.in.find('\n')) != std::string::npos) {
    std::string request = connection.in.substr(0, end);
    connection.in.erase(0, end + 1);
    if (!request.empty() && request.back() == '\r') request.pop_back();
    for (const std::string& line : handler_(request)) connection.out += line + "\n";
    connection.out += ".\n";
  }
}

void ControlServer::Send(Connection& connection) {
  while (!connection.out.empty()) {
    ssize_t count =
        ::send(connection.fd.Get(), connection.out.data(), connection.out.size(), MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && errno == EAGAIN) return;
    if (count <= 0) {
      connection.broken = true;
      return;
    }
    connection.out.erase(0, static_cast<size_t>(count));
  }
}

}  // namespace velluma::bench
