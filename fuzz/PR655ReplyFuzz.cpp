// The PR-655's reply lines, split and read as the driver reads them. The input is one reply
// line (the driver ends a line at CR, so a CR never reaches the parsing). Properties:
// - Fields gives the non-empty pieces between commas, in order: joined with commas they are the
//   line with runs of commas made one and commas at either end dropped;
// - FieldInteger reads what the C library's strtol reads, saturated to +-2147483647;
// - MeasurementReply delivers Y, x and y only when it returns 0, and then only from a line of at
//   least five fields whose first reads as 0; otherwise it returns that code or a
//   communication error and leaves the values as they were.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "instruments/Pr655Analyzer.h"

namespace {

using velluma::Pr655Analyzer;
using velluma::fuzz::Check;

std::string WithoutEmptyFields(const std::string& line) {
  std::string joined;
  bool pendingComma = false;
  for (char c : line) {
    if (c == ',') {
      pendingComma = !joined.empty();
      continue;
    }
    if (pendingComma) joined += ',';
    pendingComma = false;
    joined += c;
  }
  return joined;
}

long StrtolSaturated(const std::string& field) {
  constexpr long long kLimit = 2147483647LL;
  errno = 0;
  const long long value = std::strtoll(field.c_str(), nullptr, 10);
  return static_cast<long>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(bytes), size);
  if (line.find('\r') != std::string::npos) return 0;

  const auto fields = Pr655Analyzer::Fields(line);
  std::string joined;
  for (const std::string& field : fields) {
    Check(!field.empty() && field.find(',') == std::string::npos,
          "a field is not empty and holds no comma");
    if (!joined.empty()) joined += ',';
    joined += field;
  }
  Check(joined == WithoutEmptyFields(line), "the fields are the line's pieces between commas");

  for (const std::string& field : fields) {
    // strtol stops at a NUL, where the driver's reading stops at the first non-digit anyway.
    Check(Pr655Analyzer::FieldInteger(field) == StrtolSaturated(field),
          "a field's integer is what strtol reads, saturated to 32 bits");
  }

  constexpr double kUntouched = -12345.5;
  double x = kUntouched, y = kUntouched, Y = kUntouched;
  const int code = Pr655Analyzer::MeasurementReply(line, x, y, Y);
  const long first = fields.empty() ? 0 : Pr655Analyzer::FieldInteger(fields.front());
  if (first != 0) {
    Check(code == first, "an instrument's error code is returned as it came");
  } else if (fields.size() < 5) {
    Check(code == Pr655Analyzer::kCommunicationError, "a short reply is a communication error");
  } else {
    Check(code == 0, "a reply of five fields with code 0 is a measurement");
    return 0;
  }
  Check(x == kUntouched && y == kUntouched && Y == kUntouched,
        "a reply that is not a measurement delivers nothing");
  return 0;
}
