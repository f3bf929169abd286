#include "ControlRequests.h"

#include <stdexcept>

#include "StateReport.h"

namespace bench {

ControlRequests::ControlRequests(MonitorState& state, FaultScript& faults,
                                 std::function<void()> quit)
    : state_(state), faults_(faults), quit_(std::move(quit)) {}

std::vector<std::string> ControlRequests::Answer(const std::string& request) {
  if (request == "state") return StateReport(state_);
  if (request == "log") return state_.Log();
  if (request.rfind("fault ", 0) == 0) return AddFault(request.substr(6));
  if (request == "clear") {
    faults_.Clear();
    state_.ClearLog();
    return {"ok"};
  }
  if (request == "quit") {
    quit_();
    return {"ok"};
  }
  return {"error: unknown request \"" + request + "\""};
}

std::vector<std::string> ControlRequests::AddFault(const std::string& rule) {
  try {
    faults_.AddLine(rule);
  } catch (const std::invalid_argument& error) {
    return {std::string("error: ") + error.what()};
  }
  return {"ok"};
}

}  // namespace bench
