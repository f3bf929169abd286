#include "cli/ClockFromEnvironment.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "cli/UsageError.h"
#include "platform/CLocale.h"

namespace velluma::cli {

std::unique_ptr<Clock> ClockFromEnvironment() {
  const char* text = std::getenv("VELLUMA_CLOCK_SCALE");
  if (text == nullptr || *text == '\0') return std::make_unique<RealClock>();
  const char* end = nullptr;
  const double factor = StrtodC(text, &end);
  if (*end != '\0' || !std::isfinite(factor) || !(factor > 0))
    throw UsageError("VELLUMA_CLOCK_SCALE '" + std::string(text) + "' is not a positive number");
  return std::make_unique<ScaledClock>(factor);
}

}  // namespace velluma::cli
