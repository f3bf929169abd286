// The far end of a pty, for the Windows tests under Wine: the pty is the relay's
// (tests/windows/PtyRelay.cpp), linked as a COM port in the Wine prefix, and its bytes come and
// go over a loopback TCP connection.
#include <winsock2.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tests/support/Loopback.h"
#include "tests/support/PtyPeer.h"

namespace velluma::test {

namespace {

SOCKET SocketOf(std::uintptr_t relay) {
  return static_cast<SOCKET>(relay);
}

std::uint32_t LittleEndian(const std::uint8_t* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
  return value;
}

}  // namespace

PtyPeer::PtyPeer(Framing framing) : framing_(framing) {
  relay_ = ConnectToPtyRelay();
  const LoopbackSocket relay = relay_;
  SendText(relay, "pty\n");  // the relay's request for a pty of this peer's own
  std::uint8_t c = 0;
  while (ReceiveAll(relay, &c, 1) && c != '\n') slavePath_ += static_cast<char>(c);
  if (slavePath_.rfind("COM", 0) != 0) throw std::runtime_error("the pty relay gave no port");
  thread_ = std::thread([this] { Run(); });
}

PtyPeer::~PtyPeer() {
  ::shutdown(SocketOf(relay_), SD_BOTH);
  thread_.join();
  CloseLoopback(relay_);
}

void PtyPeer::Send(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> record(3 + bytes.size());
  record[0] = 'W';
  record[1] = static_cast<std::uint8_t>(bytes.size());
  record[2] = static_cast<std::uint8_t>(bytes.size() >> 8);
  std::copy(bytes.begin(), bytes.end(), record.begin() + 3);
  std::lock_guard lock(sendMutex_);
  SendAll(relay_, record);
}

int PtyPeer::LineSpeed() const {
  std::unique_lock lock(speedMutex_);
  const unsigned before = speedReports_;
  {
    std::lock_guard sending(sendMutex_);
    SendAll(relay_, {'S'});
  }
  speedArrived_.wait_for(lock, std::chrono::seconds(2), [&] { return speedReports_ != before; });
  return reportedSpeed_ > 0 ? reportedSpeed_ : -1;
}

void PtyPeer::Run() {
  const LoopbackSocket relay = relay_;
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
