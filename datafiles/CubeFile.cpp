#include "datafiles/CubeFile.h"

#include "platform/AtomicFile.h"
#include "platform/CLocale.h"

namespace velluma::cube_file {

namespace {

constexpr int kGridPoints = 16;
constexpr double kCodeMax = 1023.0;
constexpr int kLineLength = 27;  // three values of "0.000000" and their separators

std::string PlainTitle(std::string_view title) {
  std::string plain;
  for (char c : title)
    if (c != '"' && c != '\n' && c != '\r') plain += c;
  return plain;
}

}  // namespace

std::string Text(const UserMemoryTables::LutTable& lut, std::string_view title) {
  std::string text = "TITLE \"" + PlainTitle(title) + "\"\n";
  text += FormatC("LUT_3D_SIZE %d\n", kGridPoints);
  text.reserve(text.size() + UserMemoryTables::kLutEntries * kLineLength);
  for (int entry = 0; entry < UserMemoryTables::kLutEntries; ++entry) {
    text += FormatC("%.6f %.6f %.6f\n", lut[0][entry] / kCodeMax, lut[1][entry] / kCodeMax,
                    lut[2][entry] / kCodeMax);
  }
  return text;
}

bool Write(const std::string& path, const UserMemoryTables::LutTable& lut, std::string_view title,
           std::string& reason) {
  return ReplaceFileAtomically(path, Text(lut, title), reason);
}

}  // namespace velluma::cube_file
