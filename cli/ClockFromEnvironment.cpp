#include "cli/ClockFromEnvironment.h"

#include <cmath>
#include <string>

#include "cli/UsageError.h"
#include "platform/CLocale.h"
#include "platform/Environment.h"

namespace velluma::cli {

std::unique_ptr<Clock> ClockFromEnvironment() {
  const std::string text = EnvironmentValue("VELLUMA_CLOCK_SCALE");
  if (text.empty()) return std::make_unique<RealClock>();
  const char* end = nullptr;
  const double factor = StrtodC(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(factor) || !(factor > 0))
    throw UsageError("VELLUMA_CLOCK_SCALE '" + text + "' is not a positive number");
  return std::make_unique<ScaledClock>(factor);
}

}  // namespace velluma::cli
