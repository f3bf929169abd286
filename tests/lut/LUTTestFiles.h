#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <ios>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "lut/LUTData.h"
#include "lut/LUTFileLoad.h"
#include "lut/LUTReadData.h"
#include "lut/MonitorLut.h"
#include "lut/ReadStatus.h"
#include "platform/InputFile.h"
#include "tests/support/TempDir.h"

namespace velluma {

inline void PrintTo(ReadStatus status, std::ostream* os) {
  *os << static_cast<int>(status);
}

namespace test {

// k/15 in 10-bit codes, worked out by hand: k * 68.2 + 0.5, truncated.
inline constexpr int kGridCode[16] = {0,   68,  136, 205, 273, 341, 409, 477,
                                      546, 614, 682, 750, 818, 887, 955, 1023};

inline RgbTriple Identity(double r, double g, double b) {
  return {r, g, b};
}

// The text of a data line, each number the shortest that reads back exactly, in any locale.
inline std::string DataLine(const RgbTriple& t) {
  std::string line;
  for (double v : {t.r, t.g, t.b}) {
    char text[32];
    line.append(text, std::to_chars(text, text + sizeof text, v).ptr).push_back(' ');
  }
  line.back() = '\n';
  return line;
}

// The data lines of a 1D table of n entries, entry i holding f(i/(n-1)).
template <typename F>
std::string CurveLines(int n, F f) {
  std::string text;
  for (int i = 0; i < n; ++i) text += DataLine(f(static_cast<double>(i) / (n - 1)));
  return text;
}

// The data lines of a cube of n points per axis, red changing fastest, holding f at the input
// (r, g, b)/(n-1).
template <typename F>
std::string CubeLines(int n, F f) {
  std::string text;
  const double d = n - 1;
  for (int b = 0; b < n; ++b) {
    for (int g = 0; g < n; ++g) {
      for (int r = 0; r < n; ++r) text += DataLine(f(r / d, g / d, b / d));
    }
  }
  return text;
}

// In-memory tables holding f, as the readers would store them (cubes red slowest).
template <typename F>
LUTData Curve(int n, F f, double rangeMin = 0.0, double rangeMax = 1.0) {
  auto samples = std::make_unique<RgbTriple[]>(n);
  for (int i = 0; i < n; ++i) samples[i] = f(static_cast<double>(i) / (n - 1));
  return LUTData(true, rangeMin, rangeMax, n, std::move(samples));
}

template <typename F>
LUTData Cube(int n, F f, double rangeMin = 0.0, double rangeMax = 1.0) {
  auto samples = std::make_unique<RgbTriple[]>(static_cast<std::size_t>(n) * n * n);
  const double d = n - 1;
  RgbTriple* next = samples.get();
  for (int r = 0; r < n; ++r) {
    for (int g = 0; g < n; ++g) {
      for (int b = 0; b < n; ++b) *next++ = f(r / d, g / d, b / d);
    }
  }
  return LUTData(false, rangeMin, rangeMax, n, std::move(samples));
}

// A monitor table whose every value is 7, so that untouched entries show.
inline std::unique_ptr<MonitorLutTable> SevenTable() {
  auto table = std::make_unique<MonitorLutTable>();
  for (auto& channel : *table) channel.fill(7);
  return table;
}

struct ReadOutcome {
  ReadStatus status;
  std::unique_ptr<LUTReadData> data;
};

// Reads `content` with a new Reader.
template <typename Reader>
ReadOutcome ReadText(const std::string& content) {
  std::istringstream in(content);
  ReadOutcome outcome{ReadStatus::Success, nullptr};
  outcome.status = Reader().Read(in, &outcome.data);
  return outcome;
}

// Loads the file at `path` as the station does: opened through InputFile, then handed over.
inline LUTLoadResult LoadFile(const std::string& path, std::string_view lutFileType,
                              bool directTableMode, MonitorLutTable& table,
                              std::ostream& diagnosis) {
  InputFile input(path);
  return LoadLUTFile({path, input.Stream(), input.Reason()}, lutFileType, directTableMode, table,
                     diagnosis);
}

// A stream that gives the first `goodBytes` of `text` and then fails as a read from a disk fails:
// its buffer raises, so the stream sets badbit (and raises, when asked to).
class FailingStream {
 public:
  FailingStream(const std::string& text, std::size_t goodBytes)
      : buffer_(text.substr(0, goodBytes)), stream_(&buffer_) {}
  std::istream& Stream() { return stream_; }

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(std::string text) : text_(std::move(text)) {
      setg(text_.data(), text_.data(), text_.data() + text_.size());
    }

   protected:
    int_type underflow() override {
      if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
      throw std::ios_base::failure("Read error");
    }
    // What is left is handed over first; the failure comes with the next read.
    std::streamsize xsgetn(char* to, std::streamsize count) override {
      const std::streamsize given = std::min<std::streamsize>(count, egptr() - gptr());
      if (given == 0) underflow();
      std::copy(gptr(), gptr() + given, to);
      setg(eback(), gptr() + given, egptr());
      return given;
    }

   private:
    std::string text_;
  };
  Buffer buffer_;
  std::istream stream_;
};

// One file of a status table: what it is, its text, the status it must read as.
struct StatusCase {
  const char* what;
  std::string content;
  ReadStatus status;
};

// Each file read with a new Reader: its status, and data handed over exactly on success.
template <typename Reader>
void ExpectStatuses(const std::vector<StatusCase>& cases) {
  for (const auto& c : cases) {
    const auto outcome = ReadText<Reader>(c.content);
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_EQ(outcome.data != nullptr, c.status == ReadStatus::Success) << c.what;
  }
}

}  // namespace test
}  // namespace velluma
