#pragma once

#include <string>

#include "calibration/Devices.h"
#include "calibration/Dialogs.h"
#include "calibration/StatusView.h"
#include "calibration/Views.h"

namespace velluma {

// Getting the instrument ready: 0-CAL.'s calibration (zero calibration in remote mode, or the
// i1-Pro's calibration on its plate), the i1-Pro's preparation for measuring the monitor, and
// the check of the two offset edits.
class InstrumentPreparation {
 public:
  InstrumentPreparation(Devices& devices, Dialogs& dialogs, StatusView& status, Views& views)
      : devices_(devices), dialogs_(dialogs), status_(status), views_(views) {}

  // Whether the caller may go on measuring, and otherwise the box that said why it must stop.
  struct Readiness {
    bool ready = false;
    std::string failure;
  };

  Readiness CalibrateInstrument();
  // The i1-Pro calibrated on its plate, the operator's word that it is on the screen, the
  // measurement options set. False when the operator or the instrument stops it.
  bool PrepareI1ForMeasuring();
  // An offset edit the operator left: its text checked and written back, or emptied with a box.
  void CheckOffsetEdit(int axis);

 private:
  Readiness CalibrateI1();
  Readiness CalibrateInRemoteMode();
  // Shows `text` in a box and returns the readiness it ends with.
  Readiness Stopped(const std::string& text, const char* caption, int flags);

  Devices& devices_;
  Dialogs& dialogs_;
  StatusView& status_;  // the message line
  Views& views_;        // the offset edits
};

}  // namespace velluma
