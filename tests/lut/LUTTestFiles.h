#pragma once

#include <charconv>
#include <memory>
#include <ostream>
#include <string>

#include "lut/LUTReadData.h"
#include "lut/ReadStatus.h"
#include "lut/RgbTriple.h"
#include "tests/support/TempDir.h"

namespace velluma {

inline void PrintTo(ReadStatus status, std::ostream* os) {
  *os << static_cast<int>(status);
}

namespace test {

// A number's shortest text that reads back to the same double, whatever the locale.
inline std::string Number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

inline std::string DataLine(const RgbTriple& t) {
  return Number(t.r) + " " + Number(t.g) + " " + Number(t.b) + "\n";
}

// The data lines of a 1D table of n entries, entry i holding f(i/(n-1)).
template <typename F>
std::string CurveLines(int n, F f) {
  std::string text;
  for (int i = 0; i < n; ++i) text += DataLine(f(static_cast<double>(i) / (n - 1)));
  return text;
}

// The data lines of a cube of n points per axis, red changing fastest, each holding
// f(r, g, b) at the input (r, g, b)/(n-1).
template <typename F>
std::string CubeLines(int n, F f) {
  std::string text;
  for (int b = 0; b < n; ++b) {
    for (int g = 0; g < n; ++g) {
      for (int r = 0; r < n; ++r) {
        const double d = n - 1;
        text += DataLine(f(r / d, g / d, b / d));
      }
    }
  }
  return text;
}

struct ReadOutcome {
  ReadStatus status;
  std::unique_ptr<LUTReadData> data;
};

// Reads `content` from a fresh temporary file with a new Reader.
template <typename Reader>
ReadOutcome ReadText(const std::string& content) {
  TempDir dir;
  dir.Write("table.lut", content);
  ReadOutcome outcome{ReadStatus::Success, nullptr};
  outcome.status = Reader().Read(dir.File("table.lut"), &outcome.data);
  return outcome;
}

}  // namespace test
}  // namespace velluma
