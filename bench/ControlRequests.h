#pragma once

#include <functional>
#include <string>
#include <vector>

#include "FaultScript.h"
#include "MonitorState.h"

namespace bench {

// The requests of the control socket, one a line:
//   state       the monitor's state (see StateReport)
//   log         every command the monitor handled, in order
//   fault RULE  adds a fault rule
//   clear       removes every fault rule and empties the log
//   quit        ends the bench
// Each answer is its lines; the server ends it with a line ".". Errors read "error: text".
class ControlRequests {
 public:
  ControlRequests(MonitorState& state, FaultScript& faults, std::function<void()> quit);

  std::vector<std::string> Answer(const std::string& request);

 private:
  std::vector<std::string> AddFault(const std::string& rule);

  MonitorState& state_;
  FaultScript& faults_;
  std::function<void()> quit_;
};

}  // namespace bench
