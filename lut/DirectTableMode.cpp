// The direct LUT table file: one line per entry of the monitor's LUT, the red, green and blue
// codes separated by commas.
//
//   100,200,300                  entry 0 (grid point r 0, g 0, b 0)
//   68,0,0                       entry 1 (r 1): entries go with red changing fastest
//   ...
//
// - Lines end with CR LF, LF or CR; line m sets entry m of the three channels, for m up to
//   4095. Later lines are not read, and entries beyond the last line keep their values.
// - Runs of commas count as one separator and leading commas are skipped. The first three
//   fields are integers (blanks around them allowed); anything after the third field is ignored.
// - The file is rejected as a whole, nothing stored, when a line before the last one it uses has
//   fewer than three integer fields (blank lines at the end of the file are not lines it uses),
//   when a value lies outside 0..4095 as it is written (three hexadecimal digits carry it), when
//   a line is longer than kMaxDirectTableLine, and when it has no line at all. The codes are not
//   checked against the 10-bit range of a converted LUT.
#include "lut/DirectTableMode.h"

#include <array>
#include <exception>
#include <optional>

#include "lut/CNumberScanner.h"
#include "lut/LUTFileError.h"

namespace velluma {
namespace {

constexpr char kFieldSeparator = ',';
// Far beyond a legal line (three codes of four digits and their commas).
constexpr std::size_t kMaxDirectTableLine = std::size_t{1} << 20;

using Row = std::array<std::int32_t, kMonitorLutChannels>;

constexpr auto kEnd = std::char_traits<char>::eof();

// One read of a character (`read` gets or peeks), or kEnd at the end of the file. A read error of
// the stream, which a caller may have set to raise its own failure, raises the file error.
template <typename Read>
int ReadCharacter(std::istream& in, const std::string& name, Read read) {
  int c = kEnd;
  try {
    c = read();
  } catch (const std::exception&) {
    throw LUTFileError::CannotOpen(name, "Read error");
  }
  if (c == kEnd && in.bad()) throw LUTFileError::CannotOpen(name, "Read error");
  return c;
}

int NextCharacter(std::istream& in, const std::string& name) {
  return ReadCharacter(in, name, [&in] { return in.get(); });
}

int PeekCharacter(std::istream& in, const std::string& name) {
  return ReadCharacter(in, name, [&in] { return in.peek(); });
}

// The next line without its end (CR LF, LF or CR). False at the end of the file; `tooLong` when
// the line ran past kMaxDirectTableLine (the rest of it is not read).
bool NextLine(std::istream& in, const std::string& name, std::string& line, bool& tooLong) {
  line.clear();
  int c = NextCharacter(in, name);
  if (c == kEnd) return false;
  for (; c != kEnd && c != '\r' && c != '\n'; c = NextCharacter(in, name)) {
    if (line.size() == kMaxDirectTableLine) {
      tooLong = true;
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
  if (c == '\r' && PeekCharacter(in, name) == '\n') in.get();
  return true;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(kCWhitespace) == std::string_view::npos;
}

std::string Trimmed(std::string_view field) {
  const std::size_t first = field.find_first_not_of(kCWhitespace);
  if (first == std::string_view::npos) return {};
  return std::string(field.substr(first, field.find_last_not_of(kCWhitespace) - first + 1));
}

// The three codes of one line, or why the line rejects the file. A value is checked as it is
// written, before it is stored: 65636 is out of range, not 100.
std::optional<Row> ParseRow(std::string_view line, std::string& rejection) {
  Row codes{};
  std::size_t pos = 0;
  for (std::int32_t& code : codes) {
    pos = line.find_first_not_of(kFieldSeparator, pos);
    const std::size_t end = pos == std::string_view::npos ? pos : line.find(kFieldSeparator, pos);
    const std::string_view field = pos == std::string_view::npos ? "" : line.substr(pos, end - pos);
    CNumberScanner scan(field);
    const std::optional<std::int64_t> value = scan.Integer();
    if (!value || !IsBlank(field.substr(scan.Position()))) {
      rejection = "a field that is not an integer: \"" + Trimmed(field) + "\"";
      return std::nullopt;
    }
    if (*value < 0 || *value > kMaxDirectTableCode) {
      rejection =
          "a value outside 0.." + std::to_string(kMaxDirectTableCode) + ": " + Trimmed(field);
      return std::nullopt;
    }
    code = static_cast<std::int32_t>(*value);
    pos = end;
  }
  return codes;
}

}  // namespace

bool DirectTableMode(std::istream& in, const std::string& name, MonitorLutTable& table,
                     std::string* rejection) {
  MonitorLutTable loaded = table;
  std::string line, why;
  int rows = 0, blankRun = 0;
  bool tooLong = false;
  const auto reject = [&](const std::string& reason) {
    if (rejection) *rejection = reason;
    return false;
  };
  while (rows + blankRun < kMonitorLutEntries && NextLine(in, name, line, tooLong)) {
    const int number = rows + blankRun + 1;
    if (tooLong)
      return reject("line " + std::to_string(number) + " is longer than " +
                    std::to_string(kMaxDirectTableLine) + " bytes");
    if (IsBlank(line)) {
      ++blankRun;  // used only when a row follows
      continue;
    }
    if (blankRun > 0) return reject("line " + std::to_string(rows + 1) + " is blank");
    const auto codes = ParseRow(line, why);
    if (!codes) return reject("line " + std::to_string(number) + ": " + why);
    for (int c = 0; c < kMonitorLutChannels; ++c) loaded[c][rows] = (*codes)[c];
    ++rows;
  }
  if (rows == 0) return reject("no line with three values");
  table = loaded;
  return true;
}

}  // namespace velluma
