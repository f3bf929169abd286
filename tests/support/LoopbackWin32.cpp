#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/Loopback.h"

namespace velluma::test {

namespace {

SOCKET SocketOf(LoopbackSocket socket) {
  return static_cast<SOCKET>(socket);
}

}  // namespace

LoopbackSocket ConnectLoopback(const std::string& address, const std::string& what) {
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup");
  const std::size_t colon = address.rfind(':');
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<u_short>(std::atoi(address.c_str() + colon + 1)));
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (colon == std::string::npos ||
      ::inet_pton(AF_INET, address.substr(0, colon).c_str(), &peer.sin_addr) != 1 ||
      socket == INVALID_SOCKET ||
      ::connect(socket, reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0) {
    if (socket != INVALID_SOCKET) ::closesocket(socket);
    throw std::runtime_error("cannot reach " + what + " at " + address);
  }
  BOOL noDelay = TRUE;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
  return static_cast<LoopbackSocket>(socket);
}

LoopbackSocket ConnectToPtyRelay() {
  const char* where = std::getenv("VELLUMA_PTY_RELAY");
  if (!where || !*where)
    throw std::runtime_error("VELLUMA_PTY_RELAY is not set: scripts/windows starts the relay");
  return ConnectLoopback(where, "the pty relay");
}

void WaitAtMost(LoopbackSocket socket, std::chrono::milliseconds patience) {
  const DWORD waitMs = static_cast<DWORD>(std::max<long long>(patience.count(), 1));
  ::setsockopt(SocketOf(socket), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&waitMs),
               sizeof waitMs);
}

void CloseLoopback(LoopbackSocket socket) {
  ::closesocket(SocketOf(socket));
}

bool SendAll(LoopbackSocket socket, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const int n = ::send(SocketOf(socket), reinterpret_cast<const char*>(bytes.data() + done),
                         static_cast<int>(bytes.size() - done), 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SendText(LoopbackSocket socket, const std::string& text) {
  return SendAll(socket, {text.begin(), text.end()});
}

bool ReceiveAll(LoopbackSocket socket, std::uint8_t* into, std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    const int n = ::recv(SocketOf(socket), reinterpret_cast<char*>(into + done),
                         static_cast<int>(count - done), 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace velluma::test
