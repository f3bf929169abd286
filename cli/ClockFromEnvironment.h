#pragma once

#include <memory>

#include "platform/Clock.h"

namespace velluma::cli {

// The clock of a velluma-cli run. Real devices need the protocol's pauses and time-outs as they
// are: a RealClock. VELLUMA_CLOCK_SCALE=F (a positive number, e.g. 0.02) selects a ScaledClock
// that gives each of them F times its length, so that tests and scripts against the virtual bench
// run fast. UsageError when the variable is set to anything else.
std::unique_ptr<Clock> ClockFromEnvironment();

}  // namespace velluma::cli
