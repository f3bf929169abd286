#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "datamodel/UserMemoryTables.h"
#include "platform/Clock.h"
#include "platform/PortSpeedNote.h"
#include "platform/SerialPort.h"

namespace velluma {

// What the monitor link uses besides its port: the clock for every pause and time-out, and the
// source of "MonitorSpeed", read at the start and at the end of every LUT transfer (the station
// reads the setting; a test gives a number).
struct LinkEnvironment {
  Clock& clock;
  std::function<std::int32_t()> monitorSpeed;
  // Asked before each frame of a film-gamma or LUT transfer after the first: true when the run is
  // to stop (a terminating signal), which ends the transfer as a failure ends it.
  std::function<bool()> stopRequested = [] { return false; };
};

// The serial link to the QX-7MR520: one command frame sent, one reply frame read, each exchange
// blocking until the reply's ETX or a read time-out. Result codes: 0 (or a non-negative length)
// success, -1 communication error, -2 checksum error, -3 NACK, -4 stopped (a transfer that was
// asked to stop between two frames). Operations never throw, except where a settings read fails.
class LCD {
 public:
  static constexpr int kReadTimeoutMs = 10000;  // per byte
  static constexpr int kWriteTimeoutMs = 1000;  // per write call
  static constexpr int kLineSpeed = 9600;       // the link always starts at this speed
  static constexpr int kStopped = -4;

  // Opens and sets up the port. Never fails outright: with an unusable port, every exchange
  // returns -1. `speed` is accepted and not used.
  LCD(int kind, const std::string& portName, int speed, const LinkEnvironment& environment);
  virtual ~LCD();
  LCD(const LCD&) = delete;
  LCD& operator=(const LCD&) = delete;

  virtual int BeginSession();
  virtual int EndSession();
  virtual int ShowPattern(int r, int g, int b);
  virtual int SetZbl(int value);
  virtual int WritePrimaries(const std::array<float, 9>& values);
  virtual int WriteGreyRamp(int channel, const std::array<float, 256>& values);
  virtual std::string ErrorText(int code);
  virtual int Query(const std::string& command, std::string& reply);
  virtual int SetMonitorId(int kind, int id);
  virtual int WriteFilmGamma(int memory, const UserMemoryTables::FilmGammaTable& table);
  virtual int WriteLut(int memory, const UserMemoryTables::LutTable& table);

  int ReadBytes(int count, std::uint8_t* buffer);
  int WriteBytes(int count, const std::uint8_t* data);
  int SendChecked(const std::string& command);
  int SendPlain(const std::string& command);
  // Each send purges the port's input first; the receives read the reply to the frame just sent
  // (ReceivePlainNoPurge is ReceivePlain under the name the LUT transfer uses).
  int ReceiveChecked(std::string& body);
  int ReceivePlain(std::string& body);
  int ReceivePlainNoPurge(std::string& body);

  // The link kind and monitor id are held once for the whole process, not per object.
  static int LinkKind() { return linkKind_; }
  static int MonitorId() { return monitorId_; }

  const SerialPort& Port() const { return port_; }

  // Why the last LUT transfer ended with NACK, which it reports for a refused chunk and a silent
  // monitor alike: "gave no reply to ..." or "refused ..."; empty after a transfer that went
  // through.
  const std::string& LutFailure() const { return lutFailure_; }

  // Frames written whole onto the link since the link was made, for the run history.
  long FramesSent() const { return framesSent_; }

  // The speed a killed run had left the monitor at, from which the link sent it back to 9600 when
  // it opened; nothing when the monitor was not left fast.
  std::optional<int> RecoveredSpeed() const { return recoveredSpeed_; }

 private:
  int Send(const std::string& command, bool withChecksum);
  int Receive(std::string& body, bool checked);
  int Exchange(const std::string& command, bool checkedSend, bool checkedReply,
               const char* expected, int pauseMs);
  std::optional<int> AskInsideBracket(const std::string& command, std::string& reply);
  int CloseBracket();
  int SendLutChunk(const std::string& command);
  int SendLutChunks(int memory, const UserMemoryTables::LutTable& table);
  bool SendSpeedCommand(int speed, const std::string& command);
  void FallBackToLineSpeed();
  void RecoverNotedSpeed();

  static int linkKind_;
  static int monitorId_;

  LinkEnvironment environment_;
  SerialPort port_;
  std::string lutFailure_;
  long framesSent_ = 0;
  std::optional<PortSpeedNote> speedNote_;  // once the port is open
  std::optional<int> recoveredSpeed_;
};

}  // namespace velluma
