#include "calibration/GreyScaleCheck.h"

namespace velluma {

namespace {
constexpr int kFirstCheckedLevel = 50;
constexpr double kMinX = 0.24, kMaxX = 0.35, kMinY = 0.247, kMaxY = 0.357;
}  // namespace

bool GreyScaleInWindow(const CalibrationData& data, const std::function<double(int axis)>& offset) {
  for (int n = kFirstCheckedLevel; n < CalibrationData::kGreyLevels; ++n) {
    const double dx = data.greyLevels[n].x - offset(0);
    const double dy = data.greyLevels[n].y - offset(1);
    if (!(dx >= kMinX && dx <= kMaxX && dy >= kMinY && dy <= kMaxY)) return false;
  }
  return true;
}

}  // namespace velluma
