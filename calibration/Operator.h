#pragma once

#include <string>

namespace velluma {

// The station's only way to the person at the station and to the window: message boxes, the
// status bar, the message line, the controls, the dialogs, the table views. The main window
// implements it with its widgets; tests implement it with a script; the command line with the
// console.
class Operator {
 public:
  // Message box flags and the answers the procedures test.
  static constexpr int kOk = 0;              // OK, no icon
  static constexpr int kError = 16;          // OK, stop icon
  static constexpr int kOkCancelError = 17;  // OK and Cancel, stop icon
  static constexpr int kYesNoQuestion = 36;  // Yes and No, question icon
  static constexpr int kAnswerOk = 1;
  static constexpr int kAnswerCancel = 2;
  static constexpr int kAnswerYes = 6;
  static constexpr int kAnswerNo = 7;

  // Function tabs.
  static constexpr int kCalibrationTab = 0;
  static constexpr int kLookUpTableTab = 1;
  static constexpr int kFilmGammaTab = 2;

  virtual ~Operator() = default;

  // A modal message box; returns the button pressed.
  virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;

  // Status-bar panels 0 (state), 1 (progress), 2 (file name); `repaintNow` for callers that keep
  // the thread busy afterwards.
  virtual void SetStatusText(int panel, const std::string& text, bool repaintNow) = 0;
  virtual std::string StatusText(int panel) const = 0;

  virtual void ShowMessageLine(const std::string& text) = 0;
  virtual void LockControls() = 0;
  virtual void UnlockControls() = 0;

  // While a procedure runs, commands that replace the devices or the data must not act.
  virtual void SetProcedureRunning(bool running) = 0;

  // The two "Analyzer Offset" edits: axis 0 x, 1 y. Their text is the only store of the offsets.
  virtual std::string AnalyzerOffsetText(int axis) const = 0;
  virtual void SetAnalyzerOffsetText(int axis, const std::string& text) = 0;

  // The "Yxy Value" group: the last measured patch, shown at once.
  virtual void ShowYxyValue(const std::string& x, const std::string& y, const std::string& Y,
                            const std::string& patchName) = 0;

  // Status-bar panel 1: fills the rectangle (pixels, right and bottom exclusive) in blue for the
  // progress bar, or in the button-face colour to clear it, at once.
  enum class ProgressFill { Blue, ButtonFace };
  virtual void DrawProgress(int left, int top, int right, int bottom, ProgressFill fill) = 0;

  // Lets the window handle its pending messages once (repaints and input).
  virtual void ProcessMessages() = 0;

  virtual void ShowModelName(const std::string& model) = 0;
  virtual void AcceptDroppedFiles() = 0;

  // The memory lists of the "LookUpTable" and "Film Gamma" tabs: index 0..2 = USER1..USER3.
  virtual int LutMemory() const = 0;
  virtual int FilmGammaMemory() const = 0;
  // Selects the entry whose text equals `text`; without one the selection stays.
  virtual void SelectLutMemory(const std::string& text) = 0;
  virtual void SelectFilmGammaMemory(const std::string& text) = 0;

  virtual int ActiveTab() const = 0;
  virtual void ShowStartPages() = 0;  // "Calibration" and "Yxy Table"

  // The common open and save dialogs. `filter` is in the "Description|pattern|..." form; the
  // dialog proposes `fileName`. False when the operator cancels; otherwise `path` is the choice.
  virtual bool OpenDialog(const std::string& filter, const std::string& fileName,
                          std::string& path) = 0;
  virtual bool SaveDialog(const std::string& filter, const std::string& fileName,
                          std::string& path) = 0;

  // The settings dialog, modal; returns when it has closed, however it was closed.
  virtual void ShowPropertyDialog() = 0;

  virtual void RefreshGridWB() = 0;
  virtual void RefreshGridLUT() = 0;
  virtual void RefreshGridFG() = 0;
};

}  // namespace velluma
