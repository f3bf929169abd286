#include "datafiles/FilmGammaFile.h"

#include <cstdio>
#include <cstdlib>

#include "platform/InputFile.h"

namespace velluma::film_gamma_file {

namespace {

// The header values that must be there, by position; position 1 is not examined.
constexpr int kRequiredHeader[kHeaderValues] = {1, -1, 0, 1, 1, 0, 1, 0, 0};
constexpr int kMaxValue = 1023;

// The integer at the start of a line, blanks before it allowed, as "%d" finds it, but taken as
// it is written: a number beyond 64 bits reads as the nearest 64-bit value, never wrapped, so
// "4294967296" stays out of range instead of turning into 0.
bool LeadingInteger(const char* line, long long& value) {
  char* end = nullptr;
  value = std::strtoll(line, &end, 10);
  return end != line;
}

bool HeaderAsRequired(const long long (&header)[kHeaderValues]) {
  for (int i = 0; i < kHeaderValues; ++i)
    if (kRequiredHeader[i] >= 0 && header[i] != kRequiredHeader[i]) return false;
  return true;
}

}  // namespace

ReadResult Read(const std::string& path, UserMemoryTables::FilmGammaTable& table) {
  const InputFile file(path);
  if (!file.IsOpen()) return ReadResult::CannotOpen;
  UserMemoryTables::FilmGammaTable values{};
  long long header[kHeaderValues] = {};
  int headerCount = 0;
  std::size_t count = 0;
  bool invalid = false;
  char line[kPieceLength + 1];
  while (!invalid && std::fgets(line, sizeof line, file.Get())) {
    long long value = 0;
    if (count == values.size() || !LeadingInteger(line, value)) {
      invalid = true;
    } else if (headerCount < kHeaderValues) {
      header[headerCount++] = value;
    } else {
      invalid = value < 0 || value > kMaxValue;
      values[count++] = invalid ? 0 : static_cast<std::int32_t>(value);
    }
  }
  if (invalid || count != values.size() || !HeaderAsRequired(header)) {
    table = {};
    return ReadResult::Invalid;
  }
  table = values;
  return ReadResult::Loaded;
}

}  // namespace velluma::film_gamma_file
