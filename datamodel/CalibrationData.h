#pragma once

#include <array>

#include "datamodel/XyYValue.h"

namespace velluma {

// What one calibration run measures: the three primaries (0 red, 1 green, 2 blue) and the 256 grey
// levels (index = level n, measured on the patch n, n, n).
struct CalibrationData {
  static constexpr int kGreyLevels = 256;

  std::array<XyYValue, 3> primaries{};
  std::array<XyYValue, kGreyLevels> greyLevels{};

  // The monitor's primaries payload: Y of red, green, blue; x of red, green, blue; y of red,
  // green, blue; each rounded to single precision.
  std::array<float, 9> PrimariesPayload() const;

  // The grey ramp of one channel: 0 carries Y, 1 carries x, 2 carries y.
  std::array<float, kGreyLevels> GreyRampPayload(int channel) const;
};

}  // namespace velluma
