#pragma once

#include <optional>

#include "lut/LUTData.h"

namespace velluma {

// What one successful read of a LUT file yields: at most one 1D table and at most one 3D table,
// at least one of the two present. It owns both.
struct LUTReadData {
  std::optional<LUTData> lut1D;
  std::optional<LUTData> lut3D;
};

}  // namespace velluma
