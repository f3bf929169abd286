#include "lut/LUTReader.h"

#include <array>
#include <new>
#include <stdexcept>
#include <utility>

#include "lut/CNumberScanner.h"
#include "lut/LUTKeyword.h"

namespace velluma {
namespace {

// The first three reals of `line` into r, g and b; false, with nothing stored, when there are
// fewer.
bool ScanTriple(std::string_view line, double& r, double& g, double& b) {
  std::array<double, 3> values;
  if (!CNumberScanner(line).Reals(values)) return false;
  r = values[0];
  g = values[1];
  b = values[2];
  return true;
}

// An unwritten sample array of `count` samples. No sample is written until its line has been
// read, so a file that claims a large table and ends early touches little memory.
std::unique_ptr<RgbTriple[]> AllocateSamples(std::size_t count) {
  return std::make_unique_for_overwrite<RgbTriple[]>(count);
}

// The number of samples of a table of `size`; raises std::bad_alloc when its array would exceed
// LUTData::kMaxSampleBytes, before anything is allocated.
std::size_t CheckedSampleCount(bool is1D, std::int64_t size) {
  const auto count = LUTData::SampleCount(is1D, size);
  if (!count) throw std::bad_alloc();
  return *count;
}

}  // namespace

std::string TrimWhitespace(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kCWhitespace);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kCWhitespace);
  return std::string(text.substr(first, last - first + 1));
}

LUTReader::~LUTReader() = default;

void LUTReader::ParseDataLine(std::string_view line, double& r, double& g, double& b) {
  if (!ScanTriple(line, r, g, b)) RaiseReadFailure();
}

bool LUTReader::IsDataLine(std::string_view line) {
  return CNumberScanner(line).SkipReals(3);
}

ReadStatus LUTReader::ReadFile(std::istream& in, std::unique_ptr<LUTReadData>* out,
                               const ParseContent& parse) {
  if (out == nullptr) return ReadStatus::BadArguments;
  failureCause_.clear();
  LUTLineSource lines(in);
  try {
    LUTReadData tables;
    const ReadStatus status = parse(lines, tables);
    if (status != ReadStatus::Success) return status;
    *out = std::make_unique<LUTReadData>(std::move(tables));
    return ReadStatus::Success;
  } catch (const std::bad_alloc&) {
    failureCause_ = "the table it announces is too large";
    return ReadStatus::OutOfMemory;
  } catch (const std::exception&) {
    // The read failure. Caught by its base class: the stream library may raise it with the
    // type of another library ABI than this code's std::ios_base::failure.
    failureCause_ = lines.FailureCause();
    return lines.FailureStatus();
  }
}

LUTData LUTReader::ReadCurveTable(LUTLineSource& lines, std::string_view first, std::int64_t size,
                                  double rangeMin, double rangeMax) {
  const std::size_t entries = CheckedSampleCount(true, size);
  auto samples = AllocateSamples(entries);
  ParseCurveLines(lines, first, {samples.get(), entries});
  return LUTData(true, rangeMin, rangeMax, static_cast<std::int32_t>(size), std::move(samples));
}

LUTData LUTReader::ReadCubeTable(LUTLineSource& lines, std::string_view first, std::int64_t width,
                                 double rangeMin, double rangeMax,
                                 const LUTReadData& tablesBefore) {
  CheckedSampleCount(false, width);
  const auto side = static_cast<std::size_t>(width);
  GridSelection held =
      cubePointChoice_ ? cubePointChoice_(tablesBefore, side) : GridSelection::Every(side);
  auto samples = AllocateSamples(held.Count());
  ParseCubeLines(lines, first, side, held, samples.get());
  return LUTData(rangeMin, rangeMax, static_cast<std::int32_t>(width), std::move(samples),
                 std::move(held));
}

// Line i of a block goes to entry i.
void LUTReader::ParseCurveLines(LUTLineSource& lines, std::string_view first,
                                std::span<RgbTriple> samples) {
  for (std::size_t i = 0; i < samples.size(); ++i) {
    RgbTriple& sample = samples[i];
    ParseDataLine(i == 0 ? first : lines.Next(), sample.r, sample.g, sample.b);
  }
}

// Cube lines come with red changing fastest; a held point goes to its place among the held
// points. Every line is checked, held or not; the numbers of a line not held are not converted.
void LUTReader::ParseCubeLines(LUTLineSource& lines, std::string_view first, std::size_t width,
                               const GridSelection& held, RgbTriple* samples) {
  std::size_t r = 0, g = 0, b = 0;
  for (std::size_t line = 0; b < width; ++line) {
    const std::string_view text = line == 0 ? first : lines.Next();
    if (held.Holds(r, g, b)) {
      RgbTriple& sample = samples[held.Place(r, g, b)];
      ParseDataLine(text, sample.r, sample.g, sample.b);
    } else if (!IsDataLine(text)) {
      RaiseReadFailure();
    }
    if (++r < width) continue;
    r = 0;
    if (++g < width) continue;
    g = 0;
    ++b;
  }
}

}  // namespace velluma
