#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <string>

#include "calibration/Operator.h"

namespace velluma::cli {

// The station's operator on the console. Message boxes are printed as "caption: text" on
// standard error (tabs and line breaks as they are) and answered OK, except a procedure's report
// (AUTO's), whose text alone is the command's result on standard output; a question is answered by
// --yes or --no, and without either it is answered No and remembered as unanswered. Texts of the
// message line are printed as they come. The save dialog, the memory lists and the offset edits
// are answered from the command line; the open dialog is cancelled (files come as arguments);
// the views have nothing to show.
class ConsoleOperator : public Operator {
 public:
  static constexpr int kProgressColumns = 40;

  struct Answers {
    std::optional<int> question;         // kAnswerYes or kAnswerNo
    std::string savePath;                // the save dialog's choice; none: Cancel
    int lutMemory = 0;                   // 0..2
    int filmGammaMemory = 0;             // 0..2
    std::array<std::string, 2> offsets;  // the offset edits' texts
  };

  // `progressBar`: draw the grey ramp's progress as one line on `err` (a terminal).
  ConsoleOperator(std::ostream& out, std::ostream& err, Answers answers, bool progressBar);

  void SetActiveTab(int tab) { activeTab_ = tab; }

  // Whether a question was answered No for want of --yes or --no.
  bool QuestionUnanswered() const { return questionUnanswered_; }
  // The "Yxy Value" group as last shown: "x y Y".
  std::string YxyText() const;

  int MessageBox(const std::string& text, const std::string& caption, int flags) override;
  int ShowReport(const std::string& text, const std::string& caption, int flags) override;
  void SetStatusText(int panel, const std::string& text, bool repaintNow) override;
  std::string StatusText(int panel) const override;
  void ShowMessageLine(const std::string& text) override;
  void LockControls() override {}
  void UnlockControls() override {}
  void SetProcedureRunning(bool) override {}
  std::string AnalyzerOffsetText(int axis) const override;
  void SetAnalyzerOffsetText(int axis, const std::string& text) override;
  void ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                       const std::string& patchName) override;
  void ShowProgress(int done, int total) override;
  void ClearProgress() override;
  void ProcessMessages() override {}
  void ShowModelName(const std::string& model) override { modelName_ = model; }
  void AcceptDroppedFiles() override {}
  int LutMemory() const override { return answers_.lutMemory; }
  int FilmGammaMemory() const override { return answers_.filmGammaMemory; }
  void SelectLutMemory(const std::string& text) override;
  void SelectFilmGammaMemory(const std::string& text) override;
  int ActiveTab() const override { return activeTab_; }
  void ShowStartPages() override { activeTab_ = kCalibrationTab; }
  bool OpenDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  bool SaveDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  // The run's settings come from the command line: there is no dialog to show.
  void ShowPropertyDialog() override {}
  void RefreshCalibrationTables() override {}
  void RefreshLutTable() override {}
  void RefreshFilmGammaTable() override {}

 private:
  int Answer(const std::string& text, const std::string& caption);
  // Ends the progress line before anything else is written to `err`.
  void EndProgressLine();
  static std::optional<int> MemoryIndex(const std::string& text);

  std::ostream& out_;
  std::ostream& err_;
  Answers answers_;
  bool progressBar_;
  bool progressShown_ = false;
  bool questionUnanswered_ = false;
  std::array<std::string, 3> status_;
  std::array<std::string, 3> yxy_;
  std::string modelName_;
  int activeTab_ = kCalibrationTab;
};

}  // namespace velluma::cli
