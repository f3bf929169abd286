#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "calibration/Operator.h"

namespace velluma::test {

// An Operator for station tests: records every call as a line of text and answers message boxes
// from a queue (OK when the queue is empty).
class ScriptedOperator : public Operator {
 public:
  struct Box {
    std::string text;
    std::string caption;
    int flags;
    bool operator==(const Box&) const = default;
  };

  std::deque<int> answers;
  std::vector<Box> boxes;
  std::vector<std::string> calls;
  std::string status[3];
  std::string messageLine;
  std::string modelName;
  bool dropsAccepted = false;
  bool locked = false;
  bool procedureRunning = false;
  int lutMemory = 0;
  int filmGammaMemory = 0;
  int activeTab = 0;

  int MessageBox(const std::string& text, const std::string& caption, int flags) override;
  void SetStatusText(int panel, const std::string& text, bool repaintNow) override;
  std::string StatusText(int panel) const override { return status[panel]; }
  void ShowMessageLine(const std::string& text) override;
  void LockControls() override;
  void UnlockControls() override;
  void SetProcedureRunning(bool running) override;
  std::string offsets[2];
  std::string AnalyzerOffsetText(int axis) const override { return offsets[axis]; }
  void SetAnalyzerOffsetText(int axis, const std::string& text) override;
  // The progress reported, in order: levels done, or -1 for ClearProgress.
  std::vector<int> progress;
  std::string yxy[4];  // x, y, Y, patch name as last shown
  int pumps = 0;
  void ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                       const std::string& patchName) override;
  void ShowProgress(int done, int total) override {
    progress.push_back(done);
    progressTotal = total;
  }
  void ClearProgress() override { progress.push_back(-1); }
  int progressTotal = 0;
  void ProcessMessages() override { ++pumps; }
  void ShowModelName(const std::string& model) override;
  void AcceptDroppedFiles() override;
  int LutMemory() const override { return lutMemory; }
  int FilmGammaMemory() const override { return filmGammaMemory; }
  void SelectLutMemory(const std::string& text) override;
  void SelectFilmGammaMemory(const std::string& text) override;
  int ActiveTab() const override { return activeTab; }
  void ShowStartPages() override;
  // Dialog answers: the path chosen, or "" for Cancel; Cancel when the queue is empty.
  std::deque<std::string> dialogAnswers;
  std::vector<std::string> dialogFilters;
  bool OpenDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  bool SaveDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  // Runs while the settings dialog would be open.
  std::function<void()> whilePropertyDialog;
  void ShowPropertyDialog() override {
    calls.push_back("ShowPropertyDialog");
    if (whilePropertyDialog) whilePropertyDialog();
  }
  void RefreshCalibrationTables() override { calls.push_back("RefreshCalibrationTables"); }
  void RefreshLutTable() override { calls.push_back("RefreshLutTable"); }
  void RefreshFilmGammaTable() override { calls.push_back("RefreshFilmGammaTable"); }
};

}  // namespace velluma::test
