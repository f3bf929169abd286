#pragma once

#include <string>

namespace velluma {

// The window's views and choices the procedures read and refresh: the three table views, the
// memory lists of the "LookUpTable" and "Film Gamma" tabs, the function tabs and the two
// "Analyzer Offset" edits.
class Views {
 public:
  // Function tabs.
  static constexpr int kCalibrationTab = 0;
  static constexpr int kLookUpTableTab = 1;
  static constexpr int kFilmGammaTab = 2;

  virtual ~Views() = default;

  virtual void RefreshCalibrationTables() = 0;
  virtual void RefreshLutTable() = 0;
  virtual void RefreshFilmGammaTable() = 0;

  // The memory lists: index 0..2 = USER1..USER3.
  virtual int LutMemory() const = 0;
  virtual int FilmGammaMemory() const = 0;
  // Selects the entry whose text equals `text`; without one the selection stays.
  virtual void SelectLutMemory(const std::string& text) = 0;
  virtual void SelectFilmGammaMemory(const std::string& text) = 0;

  virtual int ActiveTab() const = 0;
  virtual void ShowStartPages() = 0;  // "Calibration" and "Yxy Table"

  // The two offset edits: axis 0 x, 1 y. Their text is the only store of the offsets.
  virtual std::string AnalyzerOffsetText(int axis) const = 0;
  virtual void SetAnalyzerOffsetText(int axis, const std::string& text) = 0;
};

}  // namespace velluma
