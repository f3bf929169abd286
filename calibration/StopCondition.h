#pragma once

#include <functional>
#include <string>
#include <utility>

namespace velluma {

// Whether the run has been asked from outside to stop (a terminating signal on the command line):
// long procedures ask between their steps, finish the frame or patch in flight and leave the
// devices as their own failure paths do. The reason names what asked ("SIGINT"); none by default.
class StopCondition {
 public:
  void AskWith(std::function<std::string()> reason) { reason_ = std::move(reason); }
  std::string Reason() const { return reason_ ? reason_() : std::string(); }
  bool Requested() const { return !Reason().empty(); }

 private:
  std::function<std::string()> reason_;
};

}  // namespace velluma
