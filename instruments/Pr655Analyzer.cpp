#include "instruments/Pr655Analyzer.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/CLocale.h"

namespace velluma {

namespace {

constexpr const char* kWakeUp = "\rPHOTO\r";
constexpr const char* kSetupCommands[] = {"SE0\r", "SK60\r", "SS3\r", "SU1\r"};
constexpr const char* kQuit = "Q\r";
constexpr const char* kClear = "C\r";
constexpr const char* kMeasure = "M1\r";
constexpr const char* kRemoteModeMark = "REMOTE MODE";

struct ErrorName {
  int code;
  const char* text;
};

constexpr ErrorName kErrorTexts[] = {
    {0, "OK"},
    {-9998, "Timeout"},
    {-9997, "Communication Error"},
    {-2000,
     "This error code is returned whenever a response code is requested that does not "
     "exist, or when no other D command has been sent previously."},
    {-1035, "Parameter not applicable to this instrument"},
    {-1026, "Invalid sensitivity mode"},
    {-1025, "Invalid Addon 3 accessory code"},
    {-1024, "Invalid R command"},
    {-1023, "Invalid user Sync period"},
    {-1022, "Measurement title field empty after sending L command"},
    {-1021, "Measurement title too long"},
    {-1019, "Invalid Sync mode"},
    {-1017, "Invalid Dark measurement mode"},
    {-1015, "Invalid CIE observer"},
    {-1012, "Invalid average cycles"},
    {-1011, "Invalid Gain code"},
    {-1010, "Invalid Exposure value"},
    {-1009, "Invalid units code"},
    {-1008, "Invalid Aperture index"},
    {-1007, "Accessory already selected"},
    {-1006, "Accessory is not an Addon accessory"},
    {-1005, "Accessory is not a primary accessory"},
    {-1004, "Invalid Addon 2 accessory code"},
    {-1003, "Invalid Addon 1 accessory code"},
    {-1002, "Invalid primary accessory code"},
    {-1001, "Too many fields in setup command"},
    {-1000, "Illegal command"},
    {-12, "Adaptive mode time out. Light source not constant."},
    {-10, "Cannot Auto Sync to light source."},
    {-9, "Sync Error."},
    {-8, "Weak light   insufficient signal."},
    {-4, "Adaptive mode error."},
    {-3,
     "Cannot Sync to light source. Light source frequency below 20Hz, above 400 Hz or signal "
     "too low to Sync."},
    {-2, "Light overload   signal too intense."},
    {-1, "Light source not constant."},
};

}  // namespace

Pr655Analyzer::Pr655Analyzer(int /*kind*/, const std::string& port, int speed, Clock& clock)
    : clock_(clock), port_(clock) {
  LineSettings line;
  line.speed = speed;
  port_.Open(port, line);  // a failure leaves the driver without a port
}

Pr655Analyzer::~Pr655Analyzer() = default;

int Pr655Analyzer::WriteSlow(const char* bytes, int count) {
  for (int i = 0; i < count; ++i) {
    const auto byte = static_cast<std::uint8_t>(bytes[i]);
    if (port_.Write(&byte, 1, kWriteTimeoutMs) != 1) return 0;
    clock_.Pause(kByteGapMs);
  }
  return 1;
}

int Pr655Analyzer::ReadReplyLine(std::string& line) {
  line.clear();
  const std::size_t markLength = std::strlen(kRemoteModeMark);
  while (line.size() < kMaxLine) {
    std::uint8_t byte;
    if (port_.ReadByte(byte, kReadTimeoutMs) != SerialPort::ReadResult::Byte) break;
    if (byte == '\r') break;
    line.push_back(static_cast<char>(byte));
    if (line.size() >= markLength &&
        line.compare(line.size() - markLength, markLength, kRemoteModeMark) == 0)
      break;
  }
  return static_cast<int>(line.size());
}

std::vector<std::string> Pr655Analyzer::Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start <= line.size()) {
    std::size_t end = line.find(',', start);
    if (end == std::string::npos) end = line.size();
    if (end > start) fields.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

long Pr655Analyzer::FieldInteger(const std::string& field) {
  std::size_t i = 0;
  while (i < field.size() && std::isspace(static_cast<unsigned char>(field[i]))) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  // Digits beyond the 32-bit range saturate, so an overlong code never wraps round to 0.
  // The sum is taken in 64 bits: a long has only 32 on Windows, where value * 10 would overflow
  // before the limit is applied.
  constexpr long long kLimit = 2147483647LL;
  long long value = 0;
  for (; i < field.size() && std::isdigit(static_cast<unsigned char>(field[i])); ++i)
    value = std::min(kLimit, value * 10 + (field[i] - '0'));
  return static_cast<long>(negative ? -value : value);
}

int Pr655Analyzer::SendSetupCommand(const char* command) {
  if (!WriteSlow(command, static_cast<int>(std::strlen(command)))) return kCommunicationError;
  std::string line;
  if (ReadReplyLine(line) == 0) return kCommunicationError;
  const auto fields = Fields(line);
  return fields.empty() ? 0 : static_cast<int>(FieldInteger(fields.front()));
}

int Pr655Analyzer::BeginRemote() {
  if (!port_.Purge()) {
    port_.Close();
    return 0;
  }
  if (!WriteSlow(kWakeUp, static_cast<int>(std::strlen(kWakeUp)))) return kCommunicationError;
  clock_.Pause(kWakeUpSettleMs);
  if (!port_.Purge()) {
    port_.Close();
    return 0;
  }
  for (const char* command : kSetupCommands)
    if (int code = SendSetupCommand(command)) return code;
  return 0;
}

int Pr655Analyzer::EndRemote() {
  if (!port_.Purge() || !WriteSlow(kQuit, 2)) return kCommunicationError;
  return 0;
}

int Pr655Analyzer::Measure(double& x, double& y, double& Y) {
  if (!port_.Purge() || !WriteSlow(kClear, 2)) return kCommunicationError;
  if (!port_.Purge() || !WriteSlow(kMeasure, 3)) return kCommunicationError;
  std::string line;
  if (ReadReplyLine(line) == 0) return kTimeout;
  return MeasurementReply(line, x, y, Y);
}

int Pr655Analyzer::MeasurementReply(const std::string& line, double& x, double& y, double& Y) {
  const auto fields = Fields(line);
  if (int code = fields.empty() ? 0 : static_cast<int>(FieldInteger(fields.front()))) return code;
  // A good reply carries five fields; a shorter one delivers nothing.
  if (fields.size() < 5) return kCommunicationError;
  Y = StrtodC(fields[2].c_str());
  x = StrtodC(fields[3].c_str());
  y = StrtodC(fields[4].c_str());
  return 0;
}

std::string Pr655Analyzer::ErrorText(int code) {
  for (const ErrorName& e : kErrorTexts)
    if (e.code == code) return e.text;
  return "Other Error";
}

}  // namespace velluma
