#pragma once

#include "app/MemoryTableTab.h"
#include "calibration/HeldData.h"

class QTabWidget;

namespace velluma {

class ChartView;

// The "Film Gamma" tab: the W column of a memory's film-gamma table, 1024 entries, the send
// controls, and the table drawn as a curve on the "Gamma Chart" page (controls named
// "filmGammaTable", "filmGammaMemoryList", "filmGammaSendButton", "filmGammaPages",
// "filmGammaChart"). The chart is made when the tab is first shown.
class FilmGammaTab : public MemoryTableTab {
  Q_OBJECT

 public:
  explicit FilmGammaTab(QWidget* parent = nullptr);

  void ShowTable(const UserMemoryTables::FilmGammaTable& table);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void MakeChart();
  void ShowCurve();

  QTabWidget* pages_ = nullptr;
  QWidget* chartPage_ = nullptr;
  ChartView* chart_ = nullptr;                // none until the chart is made
  UserMemoryTables::FilmGammaTable shown_{};  // the table the grid and the curve show
};

}  // namespace velluma
