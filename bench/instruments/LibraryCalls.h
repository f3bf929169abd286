#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/instruments/DeviceRecord.h"
#include "bench/loop/FaultScript.h"

namespace velluma::bench {

// The bench's side of a library that runs inside the program (the CA server module, the
// EyeOne library) and reports each of its calls over the control socket before it answers.
// The bench logs the call, counts it against the fault rules of the library's device and
// returns the verdict the library obeys: "ok", "fail" or "code N" (N decimal, 32-bit).
class LibraryCalls {
 public:
  // Other names a call goes by in fault rules (its short names), besides its own text.
  using Aliases = std::function<std::vector<std::string>(std::string_view call)>;
  // What an unfaulted call changes in the record.
  using Effect = std::function<void(std::string_view call, DeviceRecord& record)>;

  LibraryCalls(FaultDevice device, FaultScript& faults, DeviceRecord& record, Aliases aliases,
               Effect effect);

  std::string Answer(const std::string& call);

 private:
  FaultDevice device_;
  FaultScript& faults_;
  DeviceRecord& record_;
  Aliases aliases_;
  Effect effect_;
};

// The CA server module's calls: "SetConfiguration CA PROBES PORT BAUD", "get_Cas",
// "Cas.get_Item N", "Ca.get_Probes", "Probes.get_Item N", "Ca.get_Memory", "Memory.E ARG",
// "Ca.E ARG" (an unnamed member by its entry number; "Ca.22" without argument),
// "Probe.get_sx", "Probe.get_sy", "Probe.get_Lv". Short names: collection (get_Cas),
// instrument (Cas.get_Item), memory (Ca.get_Memory), remote (Ca.36), zero (Ca.22), measure
// (Ca.23), sx, sy, Lv.
LibraryCalls CaServerCalls(FaultScript& faults, DeviceRecord& record);

// The EyeOne library's calls: each entry point's name without "I1_" (IsConnected, Calibrate,
// TriggerMeasurement, ...), "GetTriStimulus N" and the other indexed reads with their index,
// "SetOption:KEY=VALUE" and "GetOption:KEY".
LibraryCalls EyeOneCalls(FaultScript& faults, DeviceRecord& record);

}  // namespace velluma::bench
