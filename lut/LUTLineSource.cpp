#include "lut/LUTLineSource.h"

#include "lut/LUTReader.h"

namespace velluma {

LUTLineSource::LUTLineSource() {
  stream_.exceptions(std::ios::failbit | std::ios::badbit);
}

void LUTLineSource::Open(std::string_view path) {
  stream_.open(std::string(path), std::ios::in | std::ios::binary);
}

const std::string& LUTLineSource::Next() {
  std::getline(stream_, line_);
  return line_;
}

std::string LUTLineSource::NextTrimmed() {
  return TrimWhitespace(Next());
}

std::string LUTLineSource::NextNonBlankTrimmed() {
  for (;;) {
    std::string line = NextTrimmed();
    if (!line.empty()) return line;
  }
}

ReadStatus LUTLineSource::FailureStatus() const {
  if (stream_.eof()) return ReadStatus::ParseError;
  if (stream_.fail()) return ReadStatus::FileError;
  return ReadStatus::ParseError;
}

}  // namespace velluma
