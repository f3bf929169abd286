// Values typed into the calibration grids.
#include "calibration/Station.h"
#include "platform/TextToNumber.h"

namespace velluma {

namespace {

// Leading blanks removed and "0" put in front: an empty cell is 0 and ".5" is 0.5, while a
// leading minus can never convert, so negative values cannot be typed in.
double TypedValue(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size() && static_cast<unsigned char>(text[start]) <= ' ') ++start;
  // Built by appending: GCC 12 at -O3 reports a false -Wrestrict for "0" + substr(...).
  std::string digits;
  digits.reserve(1 + text.size() - start);
  digits += '0';
  digits.append(text, start, std::string::npos);
  return StrToFloat(digits);
}

void Store(XyYValue& value, int column, double number) {
  if (column == 1) value.x = number;
  if (column == 2) value.y = number;
  if (column == 3) value.Y = number;
}

}  // namespace

// A typed value makes the data held no longer the file's: the run history then names no file
// for what PC -> MONITOR sends.
void Station::SetGreyTableCell(int column, int row, const std::string& text) {
  const double number = TypedValue(text);
  if (row < 1 || row > CalibrationData::kGreyLevels) return;
  Store(held_.calibration.greyLevels[row - 1], column, number);
  held_.calibrationSource.clear();
}

void Station::SetPrimaryTableCell(int column, int row, const std::string& text) {
  const double number = TypedValue(text);
  if (row < 1 || row > 3) return;
  Store(held_.calibration.primaries[row - 1], column, number);
  held_.calibrationSource.clear();
}

}  // namespace velluma
