#include "app/ChartData.h"

#include <algorithm>
#include <cmath>

namespace velluma {

// The step of 1, 2 or 5 times a power of ten that covers the span in at most `mostTicks` steps;
// the range widened to whole steps.
ChartData::Axis NiceAxis(const QString& title, double low, double high, int mostTicks) {
  if (!std::isfinite(low) || !std::isfinite(high)) low = 0, high = 1;
  if (high < low) std::swap(low, high);
  if (high - low < 1e-12) high = low + 1;
  const double rough = (high - low) / std::max(1, mostTicks - 1);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = 10 * power;
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= rough) {
      step = factor * power;
      break;
    }
  }
  ChartData::Axis axis;
  axis.title = title;
  axis.step = step;
  axis.low = std::floor(low / step + 1e-9) * step;
  axis.high = std::ceil(high / step - 1e-9) * step;
  axis.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  return axis;
}

}  // namespace velluma
