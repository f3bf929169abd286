#pragma once

#include "calibration/Station.h"

namespace velluma::cli {

// The station's devices for as long as a command uses them: created as at start-up (the
// configured instrument's driver and the monitor link), and ended and deleted as Exit does,
// however the command ends.
class OpenDevices {
 public:
  explicit OpenDevices(Station& station) : station_(station) { station_.CreateDevices(); }
  ~OpenDevices() { station_.DestroyDevices(); }
  OpenDevices(const OpenDevices&) = delete;
  OpenDevices& operator=(const OpenDevices&) = delete;

 private:
  Station& station_;
};

}  // namespace velluma::cli
