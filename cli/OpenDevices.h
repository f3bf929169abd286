#pragma once

#include "calibration/Station.h"

namespace velluma::cli {

// A port another run is using stops the command at once, before anything is said to a device;
// the line that names the port (and its holder) is already on standard error.
struct PortInUse {};

// The station's devices for as long as a command uses them: created as at start-up (the
// configured instrument's driver and the monitor link), and ended and deleted as Exit does,
// however the command ends. Throws PortInUse when another run holds one of the ports.
class OpenDevices {
 public:
  explicit OpenDevices(Station& station) : station_(station) {
    if (station_.OpenDevices()) return;
    station_.CloseDevices();
    throw PortInUse{};
  }
  ~OpenDevices() { station_.CloseDevices(); }
  OpenDevices(const OpenDevices&) = delete;
  OpenDevices& operator=(const OpenDevices&) = delete;

 private:
  Station& station_;
};

}  // namespace velluma::cli
