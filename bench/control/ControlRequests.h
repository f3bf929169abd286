#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bench/instruments/DisplayModel.h"
#include "bench/instruments/InstrumentRecords.h"
#include "bench/instruments/LibraryCalls.h"
#include "bench/loop/FaultScript.h"
#include "bench/monitor/MonitorState.h"

namespace velluma::bench {

// The requests of the control socket, one a line:
//   state            the monitor's state (see StateReport), then the display's parameters and
//                    the instruments' records (display., pr655., ca., eyeone. keys)
//   log              every command the monitor handled, in order
//   log pr655        every command the PR-655 received; "log pr655 gaps" adds to each the
//                    milliseconds between its bytes
//   log ca, log eyeone  every call the CA server module or the EyeOne library reported
//   measure          "x y Y" of the patch the monitor shows, as an instrument reads it
//   memory NAME      selects user memory NAME (USER1..USER3) on the monitor's front panel, or
//                    none ("memory none"); "memory" alone names the memory selected
//   ca CALL          a call of the CA server module; answers its verdict: ok, fail or code N
//   eyeone CALL      the same for the EyeOne library
//   fault RULE       adds a fault rule
//   clear            removes every fault rule and empties every log
//   quit             ends the bench
// Each answer is its lines; the server ends it with a line ".". Errors read "error: text".
class ControlRequests {
 public:
  struct Targets {
    MonitorState& monitor;
    FaultScript& faults;
    DisplayModel& display;
    InstrumentRecords& instruments;
  };

  ControlRequests(Targets targets, std::function<void()> quit);

  std::vector<std::string> Answer(const std::string& request);

 private:
  std::vector<std::string> AddFault(const std::string& rule);
  std::vector<std::string> Log(const std::string& which);
  std::vector<std::string> State();
  std::vector<std::string> Measure();
  std::vector<std::string> Memory(const std::string& request);

  Targets targets_;
  LibraryCalls ca_;
  LibraryCalls eyeone_;
  std::function<void()> quit_;
};

}  // namespace velluma::bench
