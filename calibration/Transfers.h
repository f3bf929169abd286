#pragma once

#include "calibration/Devices.h"
#include "calibration/Dialogs.h"
#include "calibration/HeldData.h"
#include "calibration/StatusView.h"
#include "calibration/Views.h"
#include "monitor/LinkResult.h"

namespace velluma {

// PC -> MONITOR and the two Start buttons: what the program holds, sent into the monitor.
class Transfers {
 public:
  Transfers(Devices& devices, const HeldData& held, Dialogs& dialogs, StatusView& status,
            Views& views)
      : devices_(devices), held_(held), dialogs_(dialogs), status_(status), views_(views) {}

  void SendCalibration();
  void SendLut();
  void SendFilmGamma();

 private:
  LinkResult SendCalibrationData();
  void ReportTransfer(LinkResult result);
  void ReportStopped();

  Devices& devices_;
  const HeldData& held_;
  Dialogs& dialogs_;
  StatusView& status_;
  Views& views_;  // the memory lists
};

}  // namespace velluma
