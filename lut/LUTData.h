#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "lut/GridSelection.h"
#include "lut/RgbTriple.h"

namespace velluma {

// One table read from a LUT file: a 1D table of `Size()` entries, entry i for the input
// i/(size-1), or a 3D table of `Size()` points per axis whose output at the input point
// (r, g, b)/(size-1) is stored at index r*size^2 + g*size + b (red slowest). `RangeMin()` and
// `RangeMax()` are the range the table's values run over. The table owns its samples.
//
// A 3D table may hold only some of its points (see GridSelection): its samples are then those
// points', red slowest, at HeldPoints().Place(r, g, b).
class LUTData {
 public:
  // No sample array may exceed this many bytes: a larger one counts as one that cannot be
  // allocated, so a file claiming a huge table is refused before anything is allocated.
  static constexpr std::size_t kMaxSampleBytes = std::size_t{1} << 30;

  // The number of samples of a table of `size` (entries, or points per axis), or none when it
  // is not positive or its array would exceed kMaxSampleBytes.
  static std::optional<std::size_t> SampleCount(bool is1D, std::int64_t size);

  // `samples` holds SampleCount(is1D, size) entries (a 3D table holds every point), or is null
  // for a table without samples.
  LUTData(bool is1D, double rangeMin, double rangeMax, std::int32_t size,
          std::unique_ptr<RgbTriple[]> samples);
  // A 3D table that holds the points `held` selects: `samples` has held.Count() entries.
  LUTData(double rangeMin, double rangeMax, std::int32_t size, std::unique_ptr<RgbTriple[]> samples,
          GridSelection held);

  bool Is1D() const { return is1D_ != 0; }
  bool Is3D() const { return !Is1D(); }
  double RangeMin() const { return rangeMin_; }
  double RangeMax() const { return rangeMax_; }
  std::int32_t Size() const { return size_; }
  // Empty when the table has no samples.
  std::span<const RgbTriple> Samples() const { return {samples_.get(), sampleCount_}; }
  // The points of a 3D table its samples stand for.
  const GridSelection& HeldPoints() const { return held_; }

 private:
  std::uint8_t is1D_;
  double rangeMin_;
  double rangeMax_;
  std::int32_t size_;
  std::unique_ptr<RgbTriple[]> samples_;
  std::size_t sampleCount_;
  GridSelection held_;
};

}  // namespace velluma
