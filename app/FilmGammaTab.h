#pragma once

#include "app/MemoryTableTab.h"
#include "calibration/HeldData.h"

class QLineSeries;

namespace velluma {

// The "Film Gamma" tab: the W column of a memory's film-gamma table, 1024 entries, the send
// controls, and the table drawn as a curve on the "Gamma Chart" page (controls named
// "filmGammaTable", "filmGammaMemoryList", "filmGammaSendButton", "filmGammaPages",
// "filmGammaChart").
class FilmGammaTab : public MemoryTableTab {
  Q_OBJECT

 public:
  explicit FilmGammaTab(QWidget* parent = nullptr);

  void ShowTable(const UserMemoryTables::FilmGammaTable& table);

 private:
  QWidget* BuildChartPage();

  QLineSeries* curve_ = nullptr;
};

}  // namespace velluma
