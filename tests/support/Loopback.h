#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace velluma::test {

// Loopback TCP for the Windows tests under Wine (LoopbackWin32.cpp): their way to the pty relay
// and to a bench's control. A socket is a Winsock SOCKET held as an integer, so that this header
// needs no Windows header.
using LoopbackSocket = std::uintptr_t;

// A connection to "HOST:PORT"; throws std::runtime_error naming `what` when it cannot be made.
// Its receives wait for as long as it takes, until WaitAtMost limits them.
LoopbackSocket ConnectLoopback(const std::string& address, const std::string& what);
// The pty relay at $VELLUMA_PTY_RELAY ("127.0.0.1:PORT", as scripts/windows sets it).
LoopbackSocket ConnectToPtyRelay();
// From now on each receive on `socket` fails once it has waited `patience`.
void WaitAtMost(LoopbackSocket socket, std::chrono::milliseconds patience);
void CloseLoopback(LoopbackSocket socket);

bool SendAll(LoopbackSocket socket, const std::vector<std::uint8_t>& bytes);
bool SendText(LoopbackSocket socket, const std::string& text);
// Exactly `count` bytes; false when the connection ends or a receive waits too long first.
bool ReceiveAll(LoopbackSocket socket, std::uint8_t* into, std::size_t count);

}  // namespace velluma::test
