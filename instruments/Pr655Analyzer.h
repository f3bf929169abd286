#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/SerialPort.h"

namespace velluma {

// The PR-655 driver (kind 0, not used), over a serial port with the instrument's remote-mode
// protocol: commands sent a byte at a time, replies as CR-ended lines of comma-separated fields
// whose first is the instrument's error code.
class Pr655Analyzer {
 public:
  static constexpr int kCommunicationError = -9997;
  static constexpr int kTimeout = -9998;
  static constexpr int kReadTimeoutMs = 20000;  // per byte
  static constexpr int kWriteTimeoutMs = 1000;
  static constexpr int kByteGapMs = 50;        // after every byte sent
  static constexpr int kWakeUpSettleMs = 200;  // before the wake-up answer is thrown away
  static constexpr std::size_t kMaxLine = 4096;

  // Opens the port ("AnalizerPort") at `speed` ("AnalizerSpeed"), 8N1; a port that cannot be
  // opened or set up leaves the driver without one.
  Pr655Analyzer(int kind, const std::string& port, int speed, Clock& clock);
  ~Pr655Analyzer();
  Pr655Analyzer(const Pr655Analyzer&) = delete;
  Pr655Analyzer& operator=(const Pr655Analyzer&) = delete;

  int BeginRemote();
  int EndRemote();
  int Measure(double& x, double& y, double& Y);
  static std::string ErrorText(int code);

  // One byte at a time, each followed by 50 ms: 1 when all were written, 0 when a write failed.
  int WriteSlow(const char* bytes, int count);
  // One reply line without its CR; a line also ends after "REMOTE MODE", at the read time-out
  // and at kMaxLine characters. Returns its length.
  int ReadReplyLine(std::string& line);

  // Fields as strtok splits them at ','; empty fields do not count.
  static std::vector<std::string> Fields(const std::string& line);
  // A field as atol reads it: blanks, a sign, digits; no digits give 0; saturated at 32 bits.
  static long FieldInteger(const std::string& field);
  // The reply line to M1, "code,111,Y,x,y": the instrument's code when it is not 0,
  // kCommunicationError when fewer than five fields came, otherwise 0 with Y, x and y read from
  // fields 3 to 5. x, y and Y are left as they were unless the result is 0.
  static int MeasurementReply(const std::string& line, double& x, double& y, double& Y);

  const SerialPort& Port() const { return port_; }

 private:
  int SendSetupCommand(const char* command);

  Clock& clock_;
  SerialPort port_;
};

}  // namespace velluma
