#pragma once

#include "calibration/Devices.h"
#include "calibration/Dialogs.h"
#include "calibration/HeldData.h"
#include "calibration/ProcedureResult.h"
#include "calibration/StatusView.h"
#include "monitor/LinkResult.h"

namespace velluma {

// PC -> MONITOR and the two Start buttons: what the program holds, sent into the monitor. Each
// ends with "Complete." (done), or with the box that says why nothing or not all was sent
// (failed); a transfer stopped from outside says so on the message line alone.
class Transfers {
 public:
  Transfers(Devices& devices, const HeldData& held, Dialogs& dialogs, StatusView& status)
      : devices_(devices), held_(held), dialogs_(dialogs), status_(status) {}

  ProcedureResult SendCalibration();
  // The table of user memory `memory` (0..2); a refused LUT's cause is the link's explanation.
  ProcedureResult SendLut(int memory);
  ProcedureResult SendFilmGamma(int memory);

 private:
  LinkResult SendCalibrationData();
  ProcedureResult ReportTransfer(LinkResult result);
  ProcedureResult ReportStopped();
  ProcedureResult Failure(const std::string& text);
  ProcedureResult Complete();

  Devices& devices_;
  const HeldData& held_;
  Dialogs& dialogs_;
  StatusView& status_;
};

}  // namespace velluma
