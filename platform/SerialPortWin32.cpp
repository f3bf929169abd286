// The serial port on Windows: a COM port opened by its device name, the line set up in a DCB and
// the time-outs kept in the port's COMMTIMEOUTS.
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/PortNames.h"
#include "platform/SerialPort.h"
#include "platform/WideText.h"

namespace velluma {

namespace {

// Both queues hold the longest exchange of any device (the PR-655's 4096-byte replies).
constexpr DWORD kQueueBytes = 4096;

HANDLE HandleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// "COM12" → "\\.\COM12": the device namespace reaches every port, also those above COM9, which
// the plain name does not. A name already in that namespace stays as it is.
std::wstring DeviceName(const std::string& port) {
  if (port.rfind("\\\\", 0) == 0) return WideFromUtf8(port);
  return WideFromUtf8("\\\\.\\" + port);
}

// The speeds a port runs: the standard ones, as on POSIX, whatever else a driver would take.
constexpr int kSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};

bool IsStandardSpeed(int speed) {
  return std::find(std::begin(kSpeeds), std::end(kSpeeds), speed) != std::end(kSpeeds);
}

BYTE StopBitsCode(int stopBits) {
  return stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
}

}  // namespace

SerialPort::~SerialPort() {
  Close();
}

bool SerialPort::Fail(const std::string& what) {
  lastError_ = what + ": " + SystemErrorText(::GetLastError());
  return false;
}

bool SerialPort::Open(const std::string& name, const LineSettings& settings) {
  Close();
  requested_ = settings;
  devicePath_ = ResolvePortName(name);
  busyReason_.clear();
  HANDLE port = ::CreateFileW(DeviceName(devicePath_).c_str(), GENERIC_READ | GENERIC_WRITE,
                              0 /* no sharing: the port is ours alone */, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (port == INVALID_HANDLE_VALUE) {
    // A COM port opened by another program is refused with "access denied": one run per port.
    if (::GetLastError() == ERROR_ACCESS_DENIED)
      busyReason_ = name + " is in use by another program";
    return Fail("cannot open " + devicePath_);
  }
  handle_ = reinterpret_cast<std::intptr_t>(port);
  readTimeoutMs_ = writeTimeoutMs_ = -1;
  const bool ready =
      (::SetupComm(port, kQueueBytes, kQueueBytes) ||
       Fail("cannot size the queues of " + devicePath_)) &&
      (::PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) ||
       Fail("cannot purge " + devicePath_)) &&
      UseTimeouts(10000, 1000) && ApplyLineSettings();
  if (!ready) {
    const std::string error = lastError_;
    Close();
    lastError_ = error;
    return false;
  }
  lastError_.clear();
  return true;
}

void SerialPort::Close() {
  if (handle_ != kNoHandle) ::CloseHandle(HandleOf(handle_));
  handle_ = kNoHandle;
}

// Every field the link depends on is set here: a DCB read from the driver may carry XON/XOFF,
// hardware handshake, error replacement or abort-on-error from whoever used the port before.
bool SerialPort::ApplyLineSettings() {
  HANDLE port = HandleOf(handle_);
  if (!IsStandardSpeed(requested_.speed)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return Fail("unsupported speed " + std::to_string(requested_.speed));
  }
  DCB line{};
  line.DCBlength = sizeof line;
  if (!::GetCommState(port, &line)) return Fail("not a serial port: " + devicePath_);
  line.BaudRate = static_cast<DWORD>(requested_.speed);
  line.fBinary = TRUE;
  line.fOutxCtsFlow = FALSE;
  line.fOutxDsrFlow = FALSE;
  line.fDtrControl = DTR_CONTROL_DISABLE;
  line.fDsrSensitivity = FALSE;
  line.fTXContinueOnXoff = TRUE;
  line.fOutX = FALSE;
  line.fInX = FALSE;
  line.fErrorChar = FALSE;
  line.fNull = FALSE;
  line.fRtsControl = RTS_CONTROL_DISABLE;
  line.fAbortOnError = FALSE;
  line.ByteSize = static_cast<BYTE>(requested_.dataBits);
  line.StopBits = StopBitsCode(requested_.stopBits);

  const bool wantParity = requested_.parity == Parity::Even;
  line.Parity = wantParity ? EVENPARITY : NOPARITY;
  line.fParity = wantParity ? TRUE : FALSE;
  if (!::SetCommState(port, &line)) {
    // A device without parity (a pty behind a Wine COM port) may refuse it; the line then runs
    // without, as on POSIX.
    if (!wantParity) return Fail("cannot set up " + devicePath_);
    line.Parity = NOPARITY;
    line.fParity = FALSE;
    if (!::SetCommState(port, &line)) return Fail("cannot set up " + devicePath_);
  }
  DCB applied{};
  applied.DCBlength = sizeof applied;
  if (!::GetCommState(port, &applied)) return Fail("cannot read back " + devicePath_);
  parityApplied_ = wantParity && applied.Parity == EVENPARITY;
  return true;
}

// The port keeps its time-outs: a read of one byte waits at most `readMs` in all, a write at most
// `writeMs`. Neither is ever 0, which would mean "return at once" for a read and "no limit" for
// a write.
bool SerialPort::UseTimeouts(int readMs, int writeMs) {
  readMs = std::max(readMs, 1);
  writeMs = std::max(writeMs, 1);
  if (readMs == readTimeoutMs_ && writeMs == writeTimeoutMs_) return true;
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 0;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(readMs);
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(writeMs);
  if (!::SetCommTimeouts(HandleOf(handle_), &timeouts))
    return Fail("cannot set the time-outs of " + devicePath_);
  readTimeoutMs_ = readMs;
  writeTimeoutMs_ = writeMs;
  return true;
}

SerialPort::ReadResult SerialPort::ReadByte(std::uint8_t& byte, int timeoutMs) {
  if (handle_ == kNoHandle) return ReadResult::Failed;
  if (!UseTimeouts(clock_.WaitBudget(timeoutMs), std::max(writeTimeoutMs_, 1)))
    return ReadResult::Failed;
  DWORD got = 0;
  if (!::ReadFile(HandleOf(handle_), &byte, 1, &got, nullptr)) {
    Fail("read from " + devicePath_);
    return ReadResult::Failed;
  }
  if (got == 1) return ReadResult::Byte;
  clock_.TimedOut(timeoutMs);
  return ReadResult::Timeout;
}

// A WriteFile may return once its bytes are in the driver's queue, before they have left; the
// FlushFileBuffers after it waits until they have.
long SerialPort::Write(const std::uint8_t* data, std::size_t count, int timeoutMs) {
  if (handle_ == kNoHandle) return -1;
  if (!UseTimeouts(std::max(readTimeoutMs_, 1), clock_.WaitBudget(timeoutMs))) return -1;
  HANDLE port = HandleOf(handle_);
  std::size_t written = 0;
  while (written < count) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - written, MAXDWORD));
    if (!::WriteFile(port, data + written, chunk, &n, nullptr)) {
      Fail("write to " + devicePath_);
      return -1;
    }
    if (n == 0) break;  // the write time-out ran out
    written += n;
  }
  if (!::FlushFileBuffers(port)) {
    Fail("drain " + devicePath_);
    return -1;
  }
  return static_cast<long>(written);
}

// Drain first, then clear only what was received: a purge of the transmit side would throw away
// a frame the driver has not sent yet.
bool SerialPort::Purge() {
  if (handle_ == kNoHandle) return false;
  HANDLE port = HandleOf(handle_);
  if (!::FlushFileBuffers(port)) return Fail("drain " + devicePath_);
  if (!::PurgeComm(port, PURGE_RXABORT | PURGE_RXCLEAR)) return Fail("flush " + devicePath_);
  return true;
}

bool SerialPort::SetSpeed(int speed) {
  if (handle_ == kNoHandle || !IsStandardSpeed(speed)) return false;
  HANDLE port = HandleOf(handle_);
  DCB line{};
  line.DCBlength = sizeof line;
  if (!::GetCommState(port, &line)) return Fail("set speed of " + devicePath_);
  line.BaudRate = static_cast<DWORD>(speed);
  if (!::SetCommState(port, &line)) return Fail("set speed of " + devicePath_);
  requested_.speed = speed;
  return true;
}

}  // namespace velluma
