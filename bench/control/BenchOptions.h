#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bench/instruments/DisplayParameters.h"

namespace velluma::bench {

// The bench's command line:
//   velluma-bench --ports DIR [--fault RULE]... [--faults FILE] [--reply-delay MS]
//                 [--line-rate] [--model TEXT] [--addressed ID]
//                 [--memory USER1|USER2|USER3|none]
//                 [--display FILE] [--KEY VALUE]... (every key of a display file, see
//                 DisplayParameters.h: --primaries "rx ry gx gy bx by", --white CD, --gamma G...)
//                 [--pr655-measure-ms MS] [--pr655-remote-delay MS] [--pr655-late-remote]
//                 [--pr655-quiet-wake] [--control-tcp PORT]
// Display settings apply in the order given, so a later one overrides a file read before it.
struct BenchOptions {
  std::string portsDir;
  std::vector<std::string> faultRules;
  std::vector<std::string> faultFiles;
  std::chrono::milliseconds replyDelay{20};
  bool lineRate = false;
  std::string model = "QX-7MR520";
  std::optional<uint8_t> address;
  DisplayParameters display;
  // The user memory selected on the monitor's front panel at the start; none: the picture goes
  // straight to the panel.
  std::optional<int> memory;
  std::chrono::milliseconds pr655MeasureTime{100};
  std::chrono::milliseconds pr655RemoteDelay{20};
  bool pr655QuietWake = false;
  // The control requests on loopback TCP as well, for programs without the Unix socket (Windows
  // programs under Wine); 0 lets the system pick a free port.
  std::optional<uint16_t> controlTcpPort;

  // Throws std::invalid_argument with the reason for a bad command line.
  static BenchOptions Parse(const std::vector<std::string>& arguments);
  static const char* Usage();
};

}  // namespace velluma::bench
