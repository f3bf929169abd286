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
  struct PatchResult {
    PatchOutcome outcome = PatchOutcome::Failed;
    std::string failure;  // the box that reported a failure; "" when measured

    bool Measured() const { return outcome == PatchOutcome::Measured; }
  };
  // How the sequence ended: every patch measured and written, every patch measured but a write
  // into the monitor refused, or stopped before every patch was measured (by a failure or from
  // outside, which Devices::Stop() tells).
  enum class SequenceOutcome { Complete, MeasuredNotWritten, Incomplete };
  struct SequenceResult {
    SequenceOutcome outcome = SequenceOutcome::Incomplete;
    // The last failure the sequence reported in a box, "" when it reported none. A complete
    // sequence may have reported one: the black patch it ends with is not needed.
    std::string failure;
  };

  MeasurementRun(Devices& devices, CalibrationData& data, Dialogs& dialogs, StatusView& status,
                 Views& views, Clock& clock)
      : devices_(devices),
        data_(data),
        dialogs_(dialogs),
        status_(status),
        views_(views),
        clock_(clock) {}

  // One patch; a failure is reported under `caption`, and `result` is written only on success.
  PatchResult MeasurePatch(int red, int green, int blue, const std::string& patchName,
                           const std::string& caption, XyYValue& result);
  SequenceResult MeasureSequence();

 private:
  bool StoppedFromOutside();
  // Each step reports its failure in a box and in `failure`.
  bool MeasurePrimaries(std::string& failure);
  bool MeasureGreyRamp(std::string& failure);
  bool WriteGreyRamps(std::string& failure);
  bool MeasuredValuesFit(std::span<const XyYValue> values,
                         const std::function<std::string(std::size_t)>& patchName,
                         std::string& failure);
  // Shows `text` as an error box under `caption` and returns it.
  std::string ReportFailure(const std::string& text, const char* caption);

  Devices& devices_;
  CalibrationData& data_;
  Dialogs& dialogs_;
  StatusView& status_;
  Views& views_;  // the offset edits
  Clock& clock_;
};

}  // namespace velluma
