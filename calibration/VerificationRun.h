#pragma once

#include <vector>

#include "calibration/Devices.h"
#include "calibration/Dialogs.h"
#include "calibration/MeasurementRun.h"
#include "calibration/StatusView.h"
#include "calibration/VerificationView.h"
#include "colour/Verification.h"

namespace velluma {

// Measures the patches of a verification one by one, the way AUTO measures its patches, and
// evaluates them against the target after each one. It shows patches and reads the instrument;
// it never writes into the monitor.
class VerificationRun {
 public:
  VerificationRun(Devices& devices, MeasurementRun& measurement, Dialogs& dialogs,
                  StatusView& status)
      : devices_(devices), measurement_(measurement), dialogs_(dialogs), status_(status) {}

  // White, black, the greys between them in `greySteps` equal steps from 0 to 255 (both ends
  // being black and white), then red, green, blue, cyan, magenta and yellow at full level.
  static std::vector<colour::PatchReading> Patches(int greySteps);

  // Measures `result.planned` in remote mode, into `result.readings` and `result.figures`,
  // showing the run on `view`; sets `result.outcome`.
  void Run(VerificationResult& result, VerificationView& view);

 private:
  void Evaluate(VerificationResult& result);

  Devices& devices_;
  MeasurementRun& measurement_;
  Dialogs& dialogs_;
  StatusView& status_;
};

}  // namespace velluma
