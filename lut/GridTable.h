#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "lut/LUTData.h"
#include "lut/LUTKernels.h"
#include "lut/RgbTriple.h"

namespace velluma {

// A 3D table seen for interpolation: the positions p_i = i * (1/(n-1)), computed once and the
// same on the three axes, and at grid point (i, j, k) (i on the red axis, j green, k blue) the
// table's value normalised to its range. The samples stay the table's own: each value is
// normalised as it is read, so the table is held once however large it is.
class GridTable {
 public:
  // `lut` is a 3D table of at least 2 points per axis with its samples; it must outlive the view.
  // Raises std::bad_alloc.
  explicit GridTable(const LUTData& lut);
  GridTable(LUTData&&) = delete;

  std::size_t Size() const { return size_; }
  std::span<const double> Positions() const { return positions_; }
  // Point (i, j, k) must be one the table holds.
  RgbTriple At(std::size_t i, std::size_t j, std::size_t k) const {
    const RgbTriple& sample = samples_[held_.Place(i, j, k)];
    return {NormaliseToRange(sample.r, min_, max_), NormaliseToRange(sample.g, min_, max_),
            NormaliseToRange(sample.b, min_, max_)};
  }

 private:
  std::size_t size_;
  std::vector<double> positions_;
  std::span<const RgbTriple> samples_;
  const GridSelection& held_;
  double min_;
  double max_;
};

}  // namespace velluma
