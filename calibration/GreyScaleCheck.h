#pragma once

#include <functional>

#include "datamodel/CalibrationData.h"

namespace velluma {

// AUTO's acceptance check: every grey level from 50 to 255 lies in the window
// 0.24 <= x <= 0.35, 0.247 <= y <= 0.357 (bounds included; a value that is not a number fails),
// with the analyzer offsets removed again, so the window applies to the instrument's own
// readings. `offset(axis)` gives the x (0) or y (1) offset and is asked afresh at every level.
bool GreyScaleInWindow(const CalibrationData& data, const std::function<double(int axis)>& offset);

}  // namespace velluma
