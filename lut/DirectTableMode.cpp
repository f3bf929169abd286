// The direct LUT table file: one line per entry of the monitor's LUT, the red, green and blue
// codes separated by commas.
//
//   100,200,300                  entry 0 (grid point r 0, g 0, b 0)
//   68,0,0                       entry 1 (r 1): entries go with red changing fastest
//   ...
//
// - Lines end with CR LF, LF or CR; line m sets entry m of the three channels, for m up to
//   4095. Later lines are ignored, and entries beyond the last line keep their values.
// - Runs of commas count as one separator and leading commas are skipped. The first three
//   fields are read with "%d"; a field that does not begin with an integer, or a missing
//   field, stores 0; anything after the third field is ignored.
// - A value outside 0..4095 (three hexadecimal digits) rejects the whole file: nothing is
//   stored, and the load fails like any other. The codes are not checked against the 10-bit
//   range of a converted LUT.
#include "lut/DirectTableMode.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "lut/CNumberScanner.h"
#include "lut/LUTFileError.h"

namespace velluma {
namespace {

constexpr char kFieldSeparator = ',';

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void RaiseCannotOpen(const std::string& path, int error) {
  throw LUTFileError("Cannot open file \"" + path + "\". " + std::strerror(error));
}

// The file's lines up to the last one a table entry can use.
std::vector<std::string> ReadTableLines(const std::string& path) {
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) RaiseCannotOpen(path, errno);
  std::vector<std::string> lines;
  std::string line;
  bool lineStarted = false;
  int c = 0;
  while (lines.size() < kMonitorLutEntries && (c = std::getc(file.get())) != EOF) {
    if (c == '\r' || c == '\n') {
      if (c == '\r') {
        const int next = std::getc(file.get());
        if (next != '\n' && next != EOF) std::ungetc(next, file.get());
      }
      lines.push_back(std::move(line));
      line.clear();
      lineStarted = false;
    } else {
      line.push_back(static_cast<char>(c));
      lineStarted = true;
    }
  }
  if (std::ferror(file.get())) RaiseCannotOpen(path, errno);
  if (lineStarted) lines.push_back(std::move(line));
  return lines;
}

// The three codes of one line, or none when one lies outside 0..kMaxDirectTableCode. A value is
// checked as it is written, before it is stored: 65636 is out of range, not 100.
std::optional<std::array<std::int32_t, kMonitorLutChannels>> ParseRow(std::string_view line) {
  std::array<std::int32_t, kMonitorLutChannels> codes{};
  std::size_t pos = 0;
  for (auto& code : codes) {
    pos = line.find_first_not_of(kFieldSeparator, pos);
    if (pos == std::string_view::npos) break;
    const std::size_t end = line.find(kFieldSeparator, pos);
    const std::int64_t value = CNumberScanner(line.substr(pos, end - pos)).Integer().value_or(0);
    if (value < 0 || value > kMaxDirectTableCode) return std::nullopt;
    code = static_cast<std::int32_t>(value);
    pos = end;
  }
  return codes;
}

}  // namespace

bool DirectTableMode(const std::string& path, MonitorLutTable& table) {
  const std::vector<std::string> lines = ReadTableLines(path);
  MonitorLutTable loaded = table;
  for (std::size_t m = 0; m < lines.size(); ++m) {
    const auto codes = ParseRow(lines[m]);
    if (!codes) return false;
    for (int c = 0; c < kMonitorLutChannels; ++c) loaded[c][m] = (*codes)[c];
  }
  table = loaded;
  return true;
}

}  // namespace velluma
