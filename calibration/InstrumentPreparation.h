#pragma once

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

  // 1 when the caller may go on measuring, 0 when it must stop (shown as it happened).
  int CalibrateInstrument();
  // The i1-Pro calibrated on its plate, the operator's word that it is on the screen, the
  // measurement options set. False when the operator or the instrument stops it.
  bool PrepareI1ForMeasuring();
  // An offset edit the operator left: its text checked and written back, or emptied with a box.
  void CheckOffsetEdit(int axis);

 private:
  int CalibrateI1();
  int CalibrateInRemoteMode();

  Devices& devices_;
  Dialogs& dialogs_;
  StatusView& status_;  // the message line
  Views& views_;        // the offset edits
};

}  // namespace velluma
