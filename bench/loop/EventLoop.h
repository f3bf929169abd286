#pragma once

#include <vector>

#include "bench/loop/LoopClient.h"

namespace velluma::bench {

// The bench's single poll() loop. Clients are not owned and must outlive the loop's run.
class EventLoop {
 public:
  void Add(LoopClient& client);
  // Ends Run() after the current turn.
  void Stop() { stopped_ = true; }
  bool Stopped() const { return stopped_; }
  // Turns until Stop() is called. Throws std::system_error when poll() fails.
  void Run();
  // One turn: wait for events or the earliest deadline, then dispatch.
  void RunOnce();

 private:
  int TimeoutMs(TimePoint now) const;

  std::vector<LoopClient*> clients_;
  bool stopped_ = false;
};

}  // namespace velluma::bench
