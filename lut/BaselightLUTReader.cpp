// Baselight ".cub" files as this program reads them:
//
//   # Truelight Cube v2.0        header: lines beginning with "#", up to the first blank line
//   # lutLength 2                "lutLength" N: an input LUT of N entries (N > 0)
//   # width 2 2 2                "width" W W W: a cube of W points per axis (all equal, > 0)
//                                the blank line that ends the header
//   # InputLUT                   the input-LUT marker ("#" ... "InputLUT"), after blank lines
//   0 0 0                        N lines "r g b", entry i for the input i/(N-1)
//   1 1 1
//   # Cube                       the cube marker ("#" ... "Cube"), after blank lines
//   0 0 0                        W^3 lines "r g b", red changing fastest, blue slowest
//   1 0 0
//   ...
//
// - The keywords are found anywhere in a header line, case-sensitive; a line holding both is a
//   "lutLength" line. A later "lutLength" or "width" replaces an earlier one; any other header
//   line is ignored. A header line not beginning with "#" is a parse error, so a header that
//   runs into the marker without a blank line fails at the first data line.
// - At least one of the two tables must be announced; the input LUT comes first.
// - The input LUT's values run from 0 to W - 1 (from 0 to 1 without a cube or for W = 1); the
//   cube's from 0 to 1.
// - Data lines are read as they are with "%lf%lf%lf": a blank or comment line inside a block is
//   a parse error, anything after the third number is ignored. Nothing after the last block is
//   read.
#include "lut/BaselightLUTReader.h"

#include <optional>

#include "lut/CNumberScanner.h"
#include "lut/LUTKeyword.h"

namespace velluma {
namespace {

constexpr std::string_view kInputLutLengthKeyword = "lutLength";
constexpr std::string_view kCubeWidthKeyword = "width";
constexpr std::string_view kInputLutMarker = "InputLUT";
constexpr std::string_view kCubeMarker = "Cube";
constexpr char kCommentMark = '#';

struct Header {
  std::int64_t inputLutLength = 0;  // N, 0 when there is no input LUT
  std::int64_t cubeWidth = 0;       // W, 0 when there is no cube
};

bool IsComment(std::string_view line) {
  return !line.empty() && line.front() == kCommentMark;
}

// "width": three integers, all present, equal and greater than 0.
std::int64_t ParseCubeWidth(std::string_view text) {
  CNumberScanner scan(text);
  const auto first = scan.Integer();
  const auto second = scan.Integer();
  const auto third = scan.Integer();
  if (!first || !second || !third || *first != *second || *second != *third || *first <= 0) {
    RaiseReadFailure();
  }
  return *first;
}

// The header lines up to the first blank one; none when a header line is not a comment.
std::optional<Header> ReadHeader(LUTLineSource& lines) {
  Header header;
  for (;;) {
    const std::string line = lines.NextTrimmed();
    if (line.empty()) return header;
    if (!IsComment(line)) return std::nullopt;
    if (const auto length = TextAfterKeyword(line, kInputLutLengthKeyword)) {
      header.inputLutLength = ParsePositiveInteger(*length);
    } else if (const auto width = TextAfterKeyword(line, kCubeWidthKeyword)) {
      header.cubeWidth = ParseCubeWidth(*width);
    }
  }
}

// The first non-blank line must be a comment holding `marker`.
bool SkipToMarker(LUTLineSource& lines, std::string_view marker) {
  const std::string line = lines.NextNonBlankTrimmed();
  return IsComment(line) && line.find(marker) != std::string::npos;
}

// The input LUT's values are taken to run from 0 to W - 1.
double InputLutRangeMax(std::int64_t cubeWidth) {
  return cubeWidth > 1 ? static_cast<double>(cubeWidth - 1) : 1.0;
}

}  // namespace

ReadStatus BaselightLUTReader::Read(std::istream& in, std::unique_ptr<LUTReadData>* out) {
  return ReadFile(in, out, [this](LUTLineSource& lines, LUTReadData& tables) {
    const auto header = ReadHeader(lines);
    if (!header) return ReadStatus::ParseError;
    if (header->inputLutLength == 0 && header->cubeWidth == 0) return ReadStatus::ParseError;
    if (header->inputLutLength > 0) {
      if (!SkipToMarker(lines, kInputLutMarker)) return ReadStatus::ParseError;
      tables.lut1D = ReadCurveTable(lines, lines.Next(), header->inputLutLength, 0.0,
                                    InputLutRangeMax(header->cubeWidth));
    }
    if (header->cubeWidth > 0) {
      if (!SkipToMarker(lines, kCubeMarker)) return ReadStatus::ParseError;
      tables.lut3D = ReadCubeTable(lines, lines.Next(), header->cubeWidth, 0.0, 1.0, tables);
    }
    return ReadStatus::Success;
  });
}

}  // namespace velluma
