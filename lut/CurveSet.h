#pragma once

#include <array>
#include <span>
#include <vector>

#include "lut/LUTData.h"

namespace velluma {

// A 1D table set up for interpolation, once per conversion: the positions
// x_i = i * (1/(n-1)), shared by the three channels, and per channel the values normalised to
// the table's range, (sample - rangeMin) / (rangeMax - rangeMin).
class CurveSet {
 public:
  // `lut` is a 1D table of at least 2 entries with its samples. Raises std::bad_alloc.
  explicit CurveSet(const LUTData& lut);

  std::span<const double> Positions() const { return positions_; }
  std::span<const double> Values(int channel) const { return values_[channel]; }

 private:
  std::vector<double> positions_;
  std::array<std::vector<double>, kRgbChannels> values_;
};

}  // namespace velluma
