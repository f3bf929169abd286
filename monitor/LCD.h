#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "datamodel/UserMemoryTables.h"
#include "monitor/LinkResult.h"
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
// blocking until the reply's ETX or a read time-out. Commands end with a LinkResult; the
// operations that read a reply return its length, or a LinkResult's (negative) number when they
// fail. Operations never throw, except where a settings read fails.
class LCD {
 public:
  static constexpr int kReadTimeoutMs = 10000;  // per byte
  static constexpr int kWriteTimeoutMs = 1000;  // per write call
  static constexpr int kLineSpeed = 9600;       // the link always starts at this speed

  // Opens and sets up the port. Never fails outright: with an unusable port, every exchange
  // fails with LinkResult::CommunicationError. `speed` is accepted and not used.
  LCD(int kind, const std::string& portName, int speed, const LinkEnvironment& environment);
  virtual ~LCD();
  LCD(const LCD&) = delete;
  LCD& operator=(const LCD&) = delete;

  virtual LinkResult BeginSession();
  virtual LinkResult EndSession();
  virtual LinkResult ShowPattern(int r, int g, int b);
  virtual LinkResult SetZbl(int value);
  virtual LinkResult WritePrimaries(const std::array<float, 9>& values);
  virtual LinkResult WriteGreyRamp(int channel, const std::array<float, 256>& values);
  virtual std::string ErrorText(LinkResult result);
  // The monitor's answer to `command` inside the remote-mode bracket; returns the length of the
  // bracket's closing reply.
  virtual int Query(const std::string& command, std::string& reply);
  virtual LinkResult SetMonitorId(int kind, int id);
  virtual LinkResult WriteFilmGamma(int memory, const UserMemoryTables::FilmGammaTable& table);
  virtual LinkResult WriteLut(int memory, const UserMemoryTables::LutTable& table);

  int ReadBytes(int count, std::uint8_t* buffer);
  int WriteBytes(int count, const std::uint8_t* data);
  LinkResult SendChecked(const std::string& command);
  LinkResult SendPlain(const std::string& command);
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
  LinkResult Send(const std::string& command, bool withChecksum);
  int Receive(std::string& body, bool checked);
  LinkResult Exchange(const std::string& command, bool checkedSend, bool checkedReply,
                      const char* expected, int pauseMs);
  std::optional<int> AskInsideBracket(const std::string& command, std::string& reply);
  int CloseBracket();
  LinkResult SendLutChunk(const std::string& command);
  LinkResult SendLutChunks(int memory, const UserMemoryTables::LutTable& table);
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
