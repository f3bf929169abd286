#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "calibration/Devices.h"
#include "calibration/Dialogs.h"
#include "calibration/StatusView.h"
#include "calibration/Views.h"
#include "datamodel/CalibrationData.h"
#include "platform/Clock.h"

namespace velluma {

// Measuring patches: one patch (shown, settled, measured, the offsets added, displayed), and the
// sequence AUTO runs, the primaries and the 256 grey levels measured into the calibration data
// and written into the monitor.
class MeasurementRun {
 public:
  // How a patch measurement ended; a monitor that fell silent (or a port that failed) is told
  // apart, since nothing more should then be sent to it.
  enum class PatchOutcome { Measured, Failed, MonitorSilent };
  // How the sequence ended: every patch measured and written, every patch measured but a write
  // into the monitor refused, or stopped before every patch was measured (by a failure or from
  // outside, which Devices::Stop() tells).
  enum class SequenceOutcome { Complete, MeasuredNotWritten, Incomplete };

  MeasurementRun(Devices& devices, CalibrationData& data, Dialogs& dialogs, StatusView& status,
                 Views& views, Clock& clock)
      : devices_(devices),
        data_(data),
        dialogs_(dialogs),
        status_(status),
        views_(views),
        clock_(clock) {}

  // One patch; a failure is reported under `caption`, and `result` is written only on success.
  PatchOutcome MeasurePatch(int red, int green, int blue, const std::string& patchName,
                            const std::string& caption, XyYValue& result);
  SequenceOutcome MeasureSequence();

 private:
  bool StoppedFromOutside();
  bool MeasurePrimaries();
  bool MeasureGreyRamp();
  bool WriteGreyRamps();
  bool MeasuredValuesFit(std::span<const XyYValue> values,
                         const std::function<std::string(std::size_t)>& patchName);

  Devices& devices_;
  CalibrationData& data_;
  Dialogs& dialogs_;
  StatusView& status_;
  Views& views_;  // the offset edits
  Clock& clock_;
};

}  // namespace velluma
