#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "bench/control/BenchOptions.h"
#include "bench/control/ControlRequests.h"
#include "bench/control/ControlServer.h"
#include "bench/instruments/DisplayModel.h"
#include "bench/instruments/InstrumentRecords.h"
#include "bench/instruments/VirtualPr655.h"
#include "bench/loop/EventLoop.h"
#include "bench/loop/FaultScript.h"
#include "bench/loop/SignalWatcher.h"
#include "bench/monitor/MonitorState.h"
#include "bench/monitor/VirtualMonitor.h"

namespace velluma::bench {

// The whole bench, on one loop: the virtual monitor on COM1, the PR-655 on COM2 and the control
// socket, through which the CA server module and the EyeOne library measure too (and, when
// asked, the same requests on loopback TCP, for the Windows stand-ins under Wine). Every
// instrument measures the patch the monitor shows through the one display model.
class Bench {
 public:
  // Creates the ports directory, COM1, COM2 and bench.sock (and bench.tcp, the TCP control's
  // address, with --control-tcp). Throws std::invalid_argument for a bad
  // fault rule or file and std::system_error when the OS refuses.
  explicit Bench(const BenchOptions& options);

  // Says "ready" on `out`, then runs until quit or SIGTERM/SIGINT.
  void Run(std::ostream& out);

 private:
  static std::filesystem::path PreparedDirectory(const std::string& dir);
  static FaultScript LoadFaults(const BenchOptions& options);
  ControlServer::Handler RequestHandler();

  std::filesystem::path dir_;
  EventLoop loop_;
  MonitorState state_;
  FaultScript faults_;
  DisplayModel display_;
  InstrumentRecords instruments_;
  VirtualMonitor monitor_;
  VirtualPr655 pr655_;
  ControlRequests requests_;
  ControlServer control_;
  std::optional<ControlServer> tcpControl_;
  SignalWatcher signals_;
};

}  // namespace velluma::bench
