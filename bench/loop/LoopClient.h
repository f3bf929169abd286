#pragma once

#include <chrono>
#include <optional>
#include <vector>

namespace velluma::bench {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

// One descriptor and the poll events a loop client waits for on it.
struct PollInterest {
  int fd;
  short events;
};

// Anything that lives on the bench's poll loop: a virtual device, the control socket, the
// signal watcher. The loop asks each client what it waits for, sleeps in one poll() until a
// descriptor is ready or the earliest deadline passes, then hands out the events and a tick.
class LoopClient {
 public:
  virtual ~LoopClient() = default;

  // Adds the descriptors this client waits on right now.
  virtual void CollectInterests(TimePoint now, std::vector<PollInterest>& interests) = 0;
  // The earliest moment this client has timed work to do, if any.
  virtual std::optional<TimePoint> NextDeadline(TimePoint now) const = 0;
  // Poll reported `revents` on `fd`, one of the descriptors this client asked for.
  virtual void OnEvents(int fd, short revents, TimePoint now) = 0;
  // Called once per loop turn after the events; runs whatever timed work is due.
  virtual void OnTick(TimePoint now) = 0;
};

}  // namespace velluma::bench
