#pragma once

#include <string>

namespace velluma {

// What a running procedure shows while it runs: the status-bar panels, the message line, the
// busy state of the controls, the last measured patch, the grey ramp's progress, the model on
// the link; and the one point where the window may serve its pending messages.
class StatusView {
 public:
  virtual ~StatusView() = default;

  // Status-bar panels 0 (state), 1 (progress), 2 (file name); `repaintNow` for callers that keep
  // the thread busy afterwards.
  virtual void SetStatusText(int panel, const std::string& text, bool repaintNow) = 0;
  virtual std::string StatusText(int panel) const = 0;

  virtual void ShowMessageLine(const std::string& text) = 0;
  virtual void LockControls() = 0;
  virtual void UnlockControls() = 0;

  // While a procedure runs, commands that replace the devices or the data must not act.
  virtual void SetProcedureRunning(bool running) = 0;

  // The "Yxy Value" group: the last measured patch, shown at once.
  virtual void ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                               const std::string& patchName) = 0;

  // The grey ramp's progress in status panel 1, drawn at once: `done` of `total` levels measured
  // (0 of them when the ramp starts). ClearProgress empties the panel again.
  virtual void ShowProgress(int done, int total) = 0;
  virtual void ClearProgress() = 0;

  // Lets the window handle its pending messages once (repaints and input).
  virtual void ProcessMessages() = 0;

  virtual void ShowModelName(const std::string& model) = 0;
  virtual void AcceptDroppedFiles() = 0;
};

}  // namespace velluma
