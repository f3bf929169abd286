#pragma once

#include "bench/instruments/DeviceRecord.h"

namespace velluma::bench {

// The records of the bench's three instruments, reported by the control socket under the
// prefixes pr655., ca. and eyeone.
struct InstrumentRecords {
  DeviceRecord pr655{"pr655"};
  DeviceRecord ca{"ca"};
  DeviceRecord eyeone{"eyeone"};

  void ClearLogs() {
    pr655.ClearLog();
    ca.ClearLog();
    eyeone.ClearLog();
  }
};

}  // namespace velluma::bench
