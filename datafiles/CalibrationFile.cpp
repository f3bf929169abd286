#include "datafiles/CalibrationFile.h"

#include <cstdio>
#include <cstring>

#include "datamodel/MonitorFields.h"
#include "platform/AtomicFile.h"
#include "platform/CLocale.h"
#include "platform/InputFile.h"

namespace velluma::calibration_file {

namespace {

std::string Render(const CalibrationData& data, const Header& header) {
  std::string text = "[ANALYZER]\r\n" + header.analyzerModel + "\r\n[OFFSET]\r\n";
  text += FormatC("x=%.4f\r\ny=%.4f\r\n", header.offsetX, header.offsetY);
  text += "[COLOR]\r\n;\tY\tx\ty\r\n";
  const char* labels[] = {"R", "G", "B"};
  for (int p = 0; p < 3; ++p) {
    const XyYValue& v = data.primaries[p];
    text += FormatC("%s\t%.3f\t%.4f\t%.4f\r\n", labels[p], v.Y, v.x, v.y);
  }
  text += "[Yxy]\r\n;\tY\tx\ty\r\n";
  for (int n = 0; n < CalibrationData::kGreyLevels; ++n) {
    const XyYValue& v = data.greyLevels[n];
    text += FormatC("%d\t%.3f\t%.4f\t%.4f\r\n", n, v.Y, v.x, v.y);
  }
  return text;
}

enum class Section { None, Color, Yxy, Integer };

struct ReadState {
  Section section = Section::None;
  int rows = 0;
  int mainSections = 0;
  int yxySections = 0;
  std::size_t lineLength = 0;  // of the physical line the pieces so far belong to
  bool invalid = false;
};

// The next piece of the file: at most kPieceLength characters, up to and including a line end.
// A CR LF pair is one line end, read as LF, so line ends never change where a line is cut.
// False at the end of the file.
bool NextPiece(std::FILE* file, std::string& piece) {
  piece.clear();
  int c = 0;
  while (piece.size() < static_cast<std::size_t>(kPieceLength) && (c = std::getc(file)) != EOF) {
    if (c == '\r') {
      const int next = std::getc(file);
      if (next == '\n')
        c = next;
      else if (next != EOF)
        std::ungetc(next, file);
    }
    piece.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !piece.empty();
}

bool StartsSection(const std::string& line, ReadState& state) {
  Section section;
  if (line == "[COLOR]\n")
    section = Section::Color;
  else if (line == "[Yxy]\n")
    section = Section::Yxy;
  else if (line == "[CORRECT]\n" || line == "[WB TABLE]\n" || line == "[CORRECT Stdio/Post]\n" ||
           line == "[WB TABLE Stdio/Post]\n")
    section = Section::Integer;
  else
    return false;
  state.section = section;
  state.rows = 0;
  if (section != Section::Integer) ++state.mainSections;
  if (section == Section::Yxy) ++state.yxySections;
  return true;
}

bool ParseRealRow(const std::string& line, XyYValue& value) {
  char label[kPieceLength + 1];
  float Y, x, y;
  ScopedCLocale c;
  if (std::sscanf(line.c_str(), "%255s%f%f%f", label, &Y, &x, &y) != 4) return false;
  value = {x, y, Y};
  return true;
}

// A value that PC -> MONITOR could not send in its field makes the file invalid at once, rather
// than a refusal later at the monitor.
bool FitsTheMonitor(const XyYValue& value) {
  return FitsDecimalField(static_cast<float>(value.x)) &&
         FitsDecimalField(static_cast<float>(value.y)) &&
         FitsDecimalField(static_cast<float>(value.Y));
}

bool ParseIntegerRow(const std::string& line) {
  char label[kPieceLength + 1];
  int a, b, c;
  return std::sscanf(line.c_str(), "%255s%d%d%d", label, &a, &b, &c) == 4;
}

void TakeRow(const std::string& line, ReadState& state, CalibrationData& data) {
  if (state.section == Section::None) return;
  XyYValue value;
  const bool parsed =
      state.section == Section::Integer ? ParseIntegerRow(line) : ParseRealRow(line, value);
  if (!parsed) return;
  XyYValue* stored = nullptr;
  if (state.section == Section::Color && state.rows < 3) stored = &data.primaries[state.rows];
  if (state.section == Section::Yxy && state.yxySections == 1)
    stored = &data.greyLevels[state.rows];
  if (stored) {
    *stored = value;
    state.invalid = state.invalid || !FitsTheMonitor(value);
  }
  ++state.rows;
}

void TakeLine(const std::string& line, ReadState& state, CalibrationData& data) {
  if (line[0] == ';' || line.size() < 2 || StartsSection(line, state)) return;
  TakeRow(line, state, data);
}

}  // namespace

bool Write(const std::string& path, const CalibrationData& data, const Header& header) {
  return ReplaceFileAtomically(path, Render(data, header));
}

ReadResult Read(const std::string& path, CalibrationData& data) {
  const InputFile file(path);
  if (!file.IsOpen()) return ReadResult::CannotOpen;
  CalibrationData loaded;
  ReadState state;
  for (std::string piece; !state.invalid && NextPiece(file.Get(), piece);) {
    const bool endsLine = piece.back() == '\n';
    state.lineLength += piece.size() - (endsLine ? 1 : 0);
    if (state.rows >= kMaxRows || state.lineLength > kMaxLineLength) {
      state.invalid = true;
      break;
    }
    if (endsLine) state.lineLength = 0;
    TakeLine(piece, state, loaded);
  }
  if (state.invalid || state.mainSections < 2 || state.rows < kMaxRows) {
    data = CalibrationData{};
    return ReadResult::Invalid;
  }
  data = loaded;
  return ReadResult::Loaded;
}

}  // namespace velluma::calibration_file
