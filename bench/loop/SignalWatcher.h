#pragma once

#include <functional>

#include "bench/loop/LoopClient.h"
#include "bench/loop/UniqueFd.h"

namespace velluma::bench {

// Turns SIGTERM and SIGINT into a loop event (through a pipe the handler writes to), so the
// bench ends from its loop and cleans up. Also ignores SIGPIPE. One instance per process.
class SignalWatcher : public LoopClient {
 public:
  explicit SignalWatcher(std::function<void()> onSignal);
  ~SignalWatcher();

  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

  void CollectInterests(TimePoint now, std::vector<PollInterest>& interests) override;
  std::optional<TimePoint> NextDeadline(TimePoint) const override { return std::nullopt; }
  void OnEvents(int fd, short revents, TimePoint now) override;
  void OnTick(TimePoint) override {}

 private:
  UniqueFd readEnd_;
  UniqueFd writeEnd_;
  std::function<void()> onSignal_;
};

}  // namespace velluma::bench
