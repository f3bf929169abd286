// The far end of a pty, for the Windows tests under Wine: the pty is the relay's
// (tests/windows/PtyRelay.cpp), linked as a COM port in the Wine prefix, and its bytes come and
// go over a loopback TCP connection.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "tests/support/PtyPeer.h"

namespace velluma::test {

namespace {

SOCKET SocketOf(std::uintptr_t relay) {
  return static_cast<SOCKET>(relay);
}

bool ReceiveAll(SOCKET socket, std::uint8_t* into, std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    const int n = ::recv(socket, reinterpret_cast<char*>(into + done),
                         static_cast<int>(count - done), 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SendAll(SOCKET socket, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const int n = ::send(socket, reinterpret_cast<const char*>(bytes.data() + done),
                         static_cast<int>(bytes.size() - done), 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::uint32_t LittleEndian(const std::uint8_t* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
  return value;
}

// $VELLUMA_PTY_RELAY: "127.0.0.1:PORT", as scripts/windows sets it.
SOCKET ConnectToRelay() {
  const char* where = std::getenv("VELLUMA_PTY_RELAY");
  if (!where || !*where)
    throw std::runtime_error("VELLUMA_PTY_RELAY is not set: scripts/windows starts the relay");
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup");
  const std::string text = where;
  const std::size_t colon = text.rfind(':');
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(std::atoi(text.c_str() + colon + 1)));
  ::inet_pton(AF_INET, text.substr(0, colon).c_str(), &address.sin_addr);
  const SOCKET relay = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (relay == INVALID_SOCKET ||
      ::connect(relay, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error("cannot reach the pty relay at " + text);
  BOOL noDelay = TRUE;
  ::setsockopt(relay, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
  return relay;
}

}  // namespace

PtyPeer::PtyPeer(Framing framing) : framing_(framing) {
  const SOCKET relay = ConnectToRelay();
  relay_ = static_cast<std::uintptr_t>(relay);
  std::uint8_t c = 0;
  while (ReceiveAll(relay, &c, 1) && c != '\n') slavePath_ += static_cast<char>(c);
  if (slavePath_.rfind("COM", 0) != 0) throw std::runtime_error("the pty relay gave no port");
  thread_ = std::thread([this] { Run(); });
}

PtyPeer::~PtyPeer() {
  ::shutdown(SocketOf(relay_), SD_BOTH);
  thread_.join();
  ::closesocket(SocketOf(relay_));
}

void PtyPeer::Send(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> record{'W', static_cast<std::uint8_t>(bytes.size()),
                                   static_cast<std::uint8_t>(bytes.size() >> 8)};
  record.insert(record.end(), bytes.begin(), bytes.end());
  std::lock_guard lock(sendMutex_);
  SendAll(SocketOf(relay_), record);
}

int PtyPeer::LineSpeed() const {
  std::unique_lock lock(speedMutex_);
  const unsigned before = speedReports_;
  {
    std::lock_guard sending(sendMutex_);
    SendAll(SocketOf(relay_), {'S'});
  }
  speedArrived_.wait_for(lock, std::chrono::seconds(2), [&] { return speedReports_ != before; });
  return reportedSpeed_ > 0 ? reportedSpeed_ : -1;
}

void PtyPeer::Run() {
  const SOCKET relay = SocketOf(relay_);
  for (;;) {
    std::uint8_t kind = 0, speed[4];
    if (!ReceiveAll(relay, &kind, 1) || !ReceiveAll(relay, speed, 4)) return;
    const int lineSpeed = static_cast<int>(LittleEndian(speed, 4));
    if (kind == 'S') {
      std::lock_guard lock(speedMutex_);
      reportedSpeed_ = lineSpeed;
      ++speedReports_;
      speedArrived_.notify_all();
      continue;
    }
    std::uint8_t count[2];
    if (kind != 'D' || !ReceiveAll(relay, count, 2)) return;
    std::vector<std::uint8_t> bytes(LittleEndian(count, 2));
    if (!ReceiveAll(relay, bytes.data(), bytes.size())) return;
    for (std::uint8_t byte : bytes) OnByte(byte, lineSpeed > 0 ? lineSpeed : -1);
  }
}

}  // namespace velluma::test
