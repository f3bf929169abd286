#include "lut/LUTData.h"

#include <utility>

namespace velluma {

std::optional<std::size_t> LUTData::SampleCount(bool is1D, std::int64_t size) {
  constexpr std::size_t kMaxCount = kMaxSampleBytes / sizeof(RgbTriple);
  if (size <= 0 || static_cast<std::uint64_t>(size) > kMaxCount) return std::nullopt;
  const auto side = static_cast<std::size_t>(size);
  std::size_t count = side;
  // Checked one factor at a time: each partial product stays below kMaxCount^2, far from
  // overflowing, and the first one over the limit ends the count.
  for (int axis = 1; axis < (is1D ? 1 : 3); ++axis) {
    count *= side;
    if (count > kMaxCount) return std::nullopt;
  }
  return count;
}

LUTData::LUTData(bool is1D, double rangeMin, double rangeMax, std::int32_t size,
                 std::unique_ptr<RgbTriple[]> samples)
    : is1D_(is1D ? 1 : 0),
      rangeMin_(rangeMin),
      rangeMax_(rangeMax),
      size_(size),
      samples_(std::move(samples)),
      sampleCount_(samples_ ? SampleCount(is1D, size).value_or(0) : 0),
      held_(is1D || sampleCount_ == 0 ? GridSelection()
                                      : GridSelection::Every(static_cast<std::size_t>(size))) {}

LUTData::LUTData(double rangeMin, double rangeMax, std::int32_t size,
                 std::unique_ptr<RgbTriple[]> samples, GridSelection held)
    : is1D_(0),
      rangeMin_(rangeMin),
      rangeMax_(rangeMax),
      size_(size),
      samples_(std::move(samples)),
      sampleCount_(samples_ ? held.Count() : 0),
      held_(std::move(held)) {}

}  // namespace velluma
