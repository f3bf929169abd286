// The Windows stand-ins reach the bench, a Linux program beside Wine, over loopback TCP: the
// address is "HOST:PORT" in $VELLUMA_BENCH_TCP (the bench writes it into its bench.tcp). One
// connection per request, as on the Unix socket, each bounded by kPatience from the connect on.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdlib>

#include "bench/instruments/BenchClient.h"
#include "bench/instruments/BenchTransport.h"

namespace velluma::bench::client {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Winsock for the length of one request; Winsock counts its starts, so each is paired with its
// own cleanup and nothing is left open when the program unloads the library.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) ::WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

// Owns a socket for one request.
class Socket {
 public:
  explicit Socket(SOCKET socket) : socket_(socket) {}
  ~Socket() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET Get() const { return socket_; }

 private:
  SOCKET socket_;
};

std::optional<TcpAddress> BenchAddress() {
  const char* text = std::getenv("VELLUMA_BENCH_TCP");
  if (text == nullptr) return std::nullopt;
  return ParseTcpAddress(text);
}

// What is left of the time until `deadline`, as select() takes it; nothing once it has passed.
std::optional<timeval> Left(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - SteadyClock::now());
  if (left.count() <= 0) return std::nullopt;
  return timeval{static_cast<long>(left.count() / 1000000),
                 static_cast<long>(left.count() % 1000000)};
}

// Waits until `socket` can be read (or, with `forWriting`, written) or the deadline passes.
bool WaitFor(const Socket& socket, bool forWriting, SteadyClock::time_point deadline) {
  std::optional<timeval> left = Left(deadline);
  if (!left) return false;
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket.Get(), &ready);
  FD_SET(socket.Get(), &failed);
  int count =
      ::select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, &failed, &*left);
  return count > 0 && FD_ISSET(socket.Get(), &ready);
}

// Connects without blocking past the deadline: a bench that is gone costs kPatience at most,
// not the system's own connect time-out.
bool Connect(const Socket& socket, const TcpAddress& address, SteadyClock::time_point deadline) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = ::htons(address.port);
  if (socket.Get() == INVALID_SOCKET ||
      ::inet_pton(AF_INET, address.host.c_str(), &peer.sin_addr) != 1) {
    return false;
  }
  u_long nonBlocking = 1;
  if (::ioctlsocket(socket.Get(), FIONBIO, &nonBlocking) != 0) return false;
  if (::connect(socket.Get(), reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0) {
    if (::WSAGetLastError() != WSAEWOULDBLOCK || !WaitFor(socket, true, deadline)) return false;
    int error = 0;
    int size = sizeof error;
    if (::getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) !=
            0 ||
        error != 0) {
      return false;
    }
  }
  return true;
}

bool SendAll(const Socket& socket, const std::string& text, SteadyClock::time_point deadline) {
  for (size_t done = 0; done < text.size();) {
    int count = ::send(socket.Get(), text.data() + done, static_cast<int>(text.size() - done), 0);
    if (count == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
      if (!WaitFor(socket, true, deadline)) return false;
      continue;
    }
    if (count <= 0) return false;
    done += static_cast<size_t>(count);
  }
  return true;
}

std::optional<std::string> ReceiveAnswer(const Socket& socket, SteadyClock::time_point deadline) {
  std::string text;
  while (!EndsAnswer(text)) {
    if (!WaitFor(socket, false, deadline)) return std::nullopt;
    char buffer[4096];
    int count = ::recv(socket.Get(), buffer, sizeof buffer, 0);
    if (count == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) continue;
    if (count <= 0) return std::nullopt;
    text.append(buffer, static_cast<size_t>(count));
  }
  return text;
}

}  // namespace

std::optional<std::string> Exchange(const std::string& request) {
  std::optional<TcpAddress> address = BenchAddress();
  WinsockSession winsock;
  if (!address || !winsock.Started()) return std::nullopt;
  auto deadline = SteadyClock::now() + kPatience;
  Socket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!Connect(socket, *address, deadline) || !SendAll(socket, request, deadline)) {
    return std::nullopt;
  }
  return ReceiveAnswer(socket, deadline);
}

}  // namespace velluma::bench::client
