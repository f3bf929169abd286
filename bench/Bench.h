#pragma once

#include <filesystem>
#include <ostream>

#include "BenchOptions.h"
#include "ControlRequests.h"
#include "ControlServer.h"
#include "EventLoop.h"
#include "FaultScript.h"
#include "MonitorState.h"
#include "SignalWatcher.h"
#include "VirtualMonitor.h"

namespace bench {

// The whole bench: the virtual monitor on COM1 and the control socket, on one loop. Further
// devices (an instrument on COM2, a socket for instrument libraries) join the same loop and
// read the same monitor state.
class Bench {
 public:
  // Creates the ports directory, COM1 and bench.sock. Throws std::invalid_argument for a bad
  // fault rule or file and std::system_error when the OS refuses.
  explicit Bench(const BenchOptions& options);

  // Says "ready" on `out`, then runs until quit or SIGTERM/SIGINT.
  void Run(std::ostream& out);

 private:
  static std::filesystem::path PreparedDirectory(const std::string& dir);
  static FaultScript LoadFaults(const BenchOptions& options);

  std::filesystem::path dir_;
  EventLoop loop_;
  MonitorState state_;
  FaultScript faults_;
  VirtualMonitor monitor_;
  ControlRequests requests_;
  ControlServer control_;
  SignalWatcher signals_;
};

}  // namespace bench
