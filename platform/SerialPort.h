#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "platform/LineSettings.h"

namespace velluma {

// One serial port, in raw mode, without flow control, used by one run at a time: a run that finds
// the port in use by another gives up at once, without touching the line. Every wait takes its
// duration through the clock. A write returns once its bytes have left; Purge first lets the
// output drain and then throws away what has been received, so a frame just sent is never lost.
class SerialPort {
 public:
  enum class ReadResult { Byte, Timeout, Failed };

  explicit SerialPort(Clock& clock) : clock_(clock) {}
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // `name` is a port name ("COM1", "USB") or a device path. On failure LastError() says why.
  bool Open(const std::string& name, const LineSettings& settings);
  void Close();
  bool IsOpen() const { return handle_ != kNoHandle; }

  // One byte, waiting at most `timeoutMs` in all.
  ReadResult ReadByte(std::uint8_t& byte, int timeoutMs);

  // Writes what leaves within `timeoutMs` and waits until it has left the port. Returns the count
  // written (possibly fewer than `count` after a time-out), or -1 when the port failed.
  long Write(const std::uint8_t* data, std::size_t count, int timeoutMs);

  // Drains the output, then discards the input.
  bool Purge();

  // Changes the line speed while open; false for a speed the port cannot run.
  bool SetSpeed(int speed);

  // The line settings as asked for; parity may not be applied by a device that has none (a pty).
  const LineSettings& Requested() const { return requested_; }
  bool ParityApplied() const { return parityApplied_; }
  const std::string& DevicePath() const { return devicePath_; }
  const std::string& LastError() const { return lastError_; }
  // When the port exists but the user may not open it: which group grants it and how to join
  // it (on Debian, "dialout"), for the operator to read; empty otherwise.
  const std::string& AccessAdvice() const { return accessAdvice_; }
  // When another run or program uses the port: which port and, where it can be known, which
  // process holds it ("COM1 (/dev/ttyUSB0) is in use by process 4242 (velluma-cli)"); empty
  // otherwise.
  const std::string& BusyReason() const { return busyReason_; }

 private:
  // The system's handle of the open port: a file descriptor on POSIX, a HANDLE on Windows.
  using Handle = std::intptr_t;
  static constexpr Handle kNoHandle = -1;

  bool Fail(const std::string& what);
  bool TakePort(const std::string& name);
  bool ApplyLineSettings();
  bool UseTimeouts(int readMs, int writeMs);

  Clock& clock_;
  Handle handle_ = kNoHandle;
  // Windows keeps the read and write time-outs in the port: the ones last given, in real
  // milliseconds, so that they are set again only when they change (-1: none given yet). POSIX
  // waits in poll and uses neither.
  int readTimeoutMs_ = -1;
  int writeTimeoutMs_ = -1;
  LineSettings requested_;
  bool parityApplied_ = false;
  std::string devicePath_;
  std::string lastError_;
  std::string accessAdvice_;
  std::string busyReason_;
};

}  // namespace velluma
