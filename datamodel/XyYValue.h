#pragma once

namespace velluma {

// One colour measurement. x and y carry the analyzer offsets in force when it was measured;
// Y is the luminance as the instrument reports it.
struct XyYValue {
  double x = 0;
  double y = 0;
  double Y = 0;

  bool operator==(const XyYValue&) const = default;
};

}  // namespace velluma
