#include "platform/Clock.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace velluma {

namespace {
void SleepMs(double ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}
}  // namespace

void RealClock::Pause(int ms) {
  SleepMs(ms);
}

void ScaledClock::Pause(int ms) {
  SleepMs(ms * factor_);
}

int ScaledClock::WaitBudget(int nominalMs) {
  const int scaled = static_cast<int>(std::ceil(nominalMs * factor_));
  return std::max(scaled, std::min(nominalMs, kMinWaitMs));
}

void VirtualClock::Pause(int ms) {
  std::lock_guard lock(mutex_);
  events_.push_back({Kind::Pause, ms});
}

int VirtualClock::WaitBudget(int nominalMs) {
  return std::max(ioFloorMs_, static_cast<int>(std::ceil(nominalMs * ioFactor_)));
}

void VirtualClock::TimedOut(int nominalMs) {
  std::lock_guard lock(mutex_);
  events_.push_back({Kind::Timeout, nominalMs});
}

std::vector<VirtualClock::Event> VirtualClock::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<int> VirtualClock::Pauses() const {
  std::vector<int> pauses;
  for (const Event& e : Events())
    if (e.kind == Kind::Pause) pauses.push_back(e.ms);
  return pauses;
}

long long VirtualClock::ElapsedMs() const {
  long long total = 0;
  for (const Event& e : Events()) total += e.ms;
  return total;
}

void VirtualClock::Reset() {
  std::lock_guard lock(mutex_);
  events_.clear();
}

}  // namespace velluma
