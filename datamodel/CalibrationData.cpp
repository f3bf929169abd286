#include "datamodel/CalibrationData.h"

namespace velluma {

std::array<float, 9> CalibrationData::PrimariesPayload() const {
  std::array<float, 9> payload{};
  for (int p = 0; p < 3; ++p) {
    payload[p] = static_cast<float>(primaries[p].Y);
    payload[3 + p] = static_cast<float>(primaries[p].x);
    payload[6 + p] = static_cast<float>(primaries[p].y);
  }
  return payload;
}

std::array<float, CalibrationData::kGreyLevels> CalibrationData::GreyRampPayload(
    int channel) const {
  std::array<float, kGreyLevels> payload{};
  for (int n = 0; n < kGreyLevels; ++n) {
    const XyYValue& v = greyLevels[n];
    payload[n] = static_cast<float>(channel == 0 ? v.Y : channel == 1 ? v.x : v.y);
  }
  return payload;
}

}  // namespace velluma
