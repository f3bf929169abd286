// DaVinci Resolve ".cube" files as this program reads them:
//
//   TITLE "Look"                 any line that is not a keyword or data line is skipped
//   # comment                    comments (beginning with "#") and blank lines are skipped
//   LUT_1D_SIZE 2                a 1D table of N1 entries (N1 > 0)
//   LUT_1D_INPUT_RANGE 0 1       its range (two reals, the first smaller), default 0 to 1
//   LUT_3D_SIZE 2                a 3D table of N3 points per axis (N3 > 0)
//   LUT_3D_INPUT_RANGE 0 1       its range, likewise
//   0 0 0                        the first line with three numbers ends the header: the 1D
//   1 1 1                        table's N1 lines, then after blank lines the 3D table's N3^3
//   0 0 0                        lines, red changing fastest, blue slowest
//   1 0 0
//   ...
//
// - Each header line is handled by the first of these that applies: blank, comment,
//   "LUT_1D_SIZE", "LUT_3D_SIZE", "LUT_1D_INPUT_RANGE", "LUT_3D_INPUT_RANGE" (each found
//   anywhere in the line, case-sensitive, its numbers read from the text after it), a data line
//   ("%lf%lf%lf" finds three numbers), anything else skipped. A later keyword replaces an
//   earlier one; a keyword with missing or out-of-bounds numbers is a parse error.
// - At least one table must be announced, and the file must reach its first data line.
// - Inside a table the lines are read as they are: a blank or comment line there is a parse
//   error; anything after the third number is ignored. Nothing after the last table is read.
// - Other software's keywords (DOMAIN_MIN, DOMAIN_MAX) are skipped like titles; the ranges are
//   checked against 0..1 only when the table is converted for the monitor.
#include "lut/DaVinciLUTReader.h"

#include <utility>

#include "lut/CNumberScanner.h"
#include "lut/LUTKeyword.h"

namespace velluma {
namespace {

constexpr std::string_view kSize1DKeyword = "LUT_1D_SIZE";
constexpr std::string_view kSize3DKeyword = "LUT_3D_SIZE";
constexpr std::string_view kRange1DKeyword = "LUT_1D_INPUT_RANGE";
constexpr std::string_view kRange3DKeyword = "LUT_3D_INPUT_RANGE";
constexpr char kCommentMark = '#';

struct Range {
  double min = 0.0;
  double max = 1.0;
};

struct Header {
  std::int64_t size1D = 0;  // N1, 0 when there is no 1D table
  std::int64_t size3D = 0;  // N3, 0 when there is no 3D table
  Range range1D;
  Range range3D;
  std::string firstDataLine;  // trimmed
};

// "LUT_xD_INPUT_RANGE": two reals, both present, the first smaller than the second.
Range ParseRange(std::string_view text) {
  CNumberScanner scan(text);
  const auto min = scan.Real();
  const auto max = scan.Real();
  if (!min || !max || !(*min < *max)) RaiseReadFailure();
  return {*min, *max};
}

// The header: every line up to the first data line, which is kept. Raises the read failure
// when the file ends first.
template <typename IsDataLine>
Header ReadHeader(LUTLineSource& lines, IsDataLine isDataLine) {
  Header header;
  for (;;) {
    std::string line = lines.NextTrimmed();
    if (line.empty() || line.front() == kCommentMark) continue;
    if (const auto size1D = TextAfterKeyword(line, kSize1DKeyword)) {
      header.size1D = ParsePositiveInteger(*size1D);
    } else if (const auto size3D = TextAfterKeyword(line, kSize3DKeyword)) {
      header.size3D = ParsePositiveInteger(*size3D);
    } else if (const auto range1D = TextAfterKeyword(line, kRange1DKeyword)) {
      header.range1D = ParseRange(*range1D);
    } else if (const auto range3D = TextAfterKeyword(line, kRange3DKeyword)) {
      header.range3D = ParseRange(*range3D);
    } else if (isDataLine(line)) {
      header.firstDataLine = std::move(line);
      return header;
    }
  }
}

}  // namespace

ReadStatus DaVinciLUTReader::Read(std::istream& in, std::unique_ptr<LUTReadData>* out) {
  return ReadFile(in, out, [this](LUTLineSource& lines, LUTReadData& tables) {
    Header header = ReadHeader(lines, [this](std::string_view line) { return IsDataLine(line); });
    if (header.size1D == 0 && header.size3D == 0) return ReadStatus::ParseError;

    std::string current = std::move(header.firstDataLine);
    if (header.size1D > 0) {
      tables.lut1D =
          ReadCurveTable(lines, current, header.size1D, header.range1D.min, header.range1D.max);
      if (header.size3D > 0) current = lines.NextNonBlankTrimmed();
    }
    if (header.size3D > 0) {
      tables.lut3D = ReadCubeTable(lines, current, header.size3D, header.range3D.min,
                                   header.range3D.max, tables);
    }
    return ReadStatus::Success;
  });
}

}  // namespace velluma
