#include "lut/LUTReader.h"

#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

#include "lut/CNumberScanner.h"
#include "lut/LUTKeyword.h"

namespace velluma {
namespace {

std::optional<RgbTriple> ScanTriple(std::string_view line) {
  CNumberScanner scan(line);
  const auto r = scan.Real();
  if (!r) return std::nullopt;
  const auto g = scan.Real();
  if (!g) return std::nullopt;
  const auto b = scan.Real();
  if (!b) return std::nullopt;
  return RgbTriple{*r, *g, *b};
}

// An unwritten sample array for a table of `size`; raises std::bad_alloc when it would exceed
// LUTData::kMaxSampleBytes, before anything is allocated. No sample is written until its line
// has been read, so a file that claims a large table and ends early touches little memory.
std::unique_ptr<RgbTriple[]> AllocateSamples(bool is1D, std::int64_t size) {
  const auto count = LUTData::SampleCount(is1D, size);
  if (!count) throw std::bad_alloc();
  return std::make_unique_for_overwrite<RgbTriple[]>(*count);
}

// Cube lines come with red changing fastest; the samples are stored with red slowest.
std::size_t SampleIndexOfCubeLine(std::size_t line, std::size_t width) {
  const std::size_t r = line % width;
  const std::size_t g = (line / width) % width;
  const std::size_t b = line / (width * width);
  return (r * width + g) * width + b;
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
  const auto triple = ScanTriple(line);
  if (!triple) RaiseReadFailure();
  r = triple->r;
  g = triple->g;
  b = triple->b;
}

bool LUTReader::IsDataLine(std::string_view line) {
  return ScanTriple(line).has_value();
}

ReadStatus LUTReader::ReadFile(std::string_view path, std::unique_ptr<LUTReadData>* out,
                               const ParseContent& parse) {
  if (path.empty() || out == nullptr) return ReadStatus::BadArguments;
  failureCause_.clear();
  LUTLineSource lines;
  try {
    lines.Open(path);
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

LUTData LUTReader::ReadCurveTable(LUTLineSource& lines, const std::string& first, std::int64_t size,
                                  double rangeMin, double rangeMax) {
  auto samples = AllocateSamples(true, size);
  const auto entries = static_cast<std::size_t>(size);
  ParseDataLines(lines, first, {samples.get(), entries}, 0);
  return LUTData(true, rangeMin, rangeMax, static_cast<std::int32_t>(size), std::move(samples));
}

LUTData LUTReader::ReadCubeTable(LUTLineSource& lines, const std::string& first, std::int64_t width,
                                 double rangeMin, double rangeMax) {
  auto samples = AllocateSamples(false, width);
  const auto side = static_cast<std::size_t>(width);
  ParseDataLines(lines, first, {samples.get(), side * side * side}, side);
  return LUTData(false, rangeMin, rangeMax, static_cast<std::int32_t>(width), std::move(samples));
}

// Line i of a block goes to entry i of a 1D table (cubeWidth 0) or to its grid point's entry of
// a cube.
void LUTReader::ParseDataLines(LUTLineSource& lines, const std::string& first,
                               std::span<RgbTriple> samples, std::size_t cubeWidth) {
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const std::string_view line = i == 0 ? std::string_view(first) : lines.Next();
    RgbTriple& sample = samples[cubeWidth == 0 ? i : SampleIndexOfCubeLine(i, cubeWidth)];
    ParseDataLine(line, sample.r, sample.g, sample.b);
  }
}

}  // namespace velluma
