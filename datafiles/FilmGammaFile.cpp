#include "datafiles/FilmGammaFile.h"

#include <cstdio>
#include <memory>

namespace velluma::film_gamma_file {

namespace {

// The header values that must be there, by position; position 1 is not examined.
constexpr int kRequiredHeader[kHeaderValues] = {1, -1, 0, 1, 1, 0, 1, 0, 0};
constexpr int kMaxValue = 1023;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool LeadingInteger(const char* line, int& value) {
  return std::sscanf(line, "%d", &value) == 1;
}

bool HeaderAsRequired(const int (&header)[kHeaderValues]) {
  for (int i = 0; i < kHeaderValues; ++i)
    if (kRequiredHeader[i] >= 0 && header[i] != kRequiredHeader[i]) return false;
  return true;
}

}  // namespace

ReadResult Read(const std::string& path, UserMemoryTables::FilmGammaTable& table) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return ReadResult::CannotOpen;
  UserMemoryTables::FilmGammaTable values{};
  int header[kHeaderValues] = {};
  int headerCount = 0;
  std::size_t count = 0;
  bool invalid = false;
  char line[kPieceLength + 1];
  while (!invalid && std::fgets(line, sizeof line, file.get())) {
    int value = 0;
    if (count == values.size() || !LeadingInteger(line, value)) {
      invalid = true;
    } else if (headerCount < kHeaderValues) {
      header[headerCount++] = value;
    } else {
      values[count++] = value;
      invalid = value < 0 || value > kMaxValue;
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
