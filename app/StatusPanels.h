#pragma once

#include <QStatusBar>
#include <string>

class QLabel;

namespace velluma {

class ProgressPanel;

// The window's status bar: panel 0 the station's state, panel 1 the grey ramp's progress,
// panel 2 the file name (named "statePanel", "progressPanel", "fileNamePanel").
class StatusPanels : public QStatusBar {
  Q_OBJECT

 public:
  explicit StatusPanels(QWidget* parent = nullptr);

  // The texts of panels 0 and 2; panel 1 has none.
  void SetText(int panel, const std::string& text);
  std::string Text(int panel) const;
  ProgressPanel& Progress() { return *progress_; }

 private:
  QLabel* TextPanel(int panel) const;

  QLabel* state_ = nullptr;
  ProgressPanel* progress_ = nullptr;
  QLabel* fileName_ = nullptr;
};

}  // namespace velluma
