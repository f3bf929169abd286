#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "lut/LUTData.h"
#include "lut/RgbTriple.h"

namespace velluma {

// A 3D table set up for interpolation, once per conversion: the positions p_i = i * (1/(n-1)),
// the same on the three axes, and the values normalised to the table's range at index
// i*n^2 + j*n + k for grid point (i, j, k), i on the red axis, j green, k blue (red slowest).
class GridTable {
 public:
  // `lut` is a 3D table of at least 2 points per axis with its samples. Raises std::bad_alloc.
  explicit GridTable(const LUTData& lut);

  std::size_t Size() const { return size_; }
  std::span<const double> Positions() const { return positions_; }
  const RgbTriple& At(std::size_t i, std::size_t j, std::size_t k) const {
    return values_[(i * size_ + j) * size_ + k];
  }

 private:
  std::size_t size_;
  std::vector<double> positions_;
  std::vector<RgbTriple> values_;
};

}  // namespace velluma
