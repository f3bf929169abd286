#pragma once

#include <array>
#include <string>
#include <vector>

#include "calibration/Dialogs.h"
#include "calibration/HeldData.h"
#include "calibration/ProcedureResult.h"
#include "calibration/StatusView.h"
#include "calibration/Views.h"
#include "lut/LUTFileLoad.h"
#include "platform/SettingsStore.h"

namespace velluma {

// The files of the three function tabs: the calibration data file (Open, Save, Save As), LUT
// files and film-gamma tables (Open), files dropped on the window, and the file name each tab
// remembers, shown in status panel 2.
class TableFiles {
 public:
  static constexpr const char* kUntitled = "Untitled.txt";
  static constexpr const char* kNoFileName = ".txt";  // a data set without a file name

  TableFiles(HeldData& held, SettingsStore& settings, Dialogs& dialogs, StatusView& status,
             Views& views)
      : held_(held), settings_(settings), dialogs_(dialogs), status_(status), views_(views) {}

  // The calibration data file: written (a failure reported), and read into the data held.
  bool WriteCalibrationFile(const std::string& path);
  int ReadCalibrationFile(const std::string& path);
  void Save();
  void SaveAs();
  // AUTO's reset: the grey table zeroed, no file name (".txt").
  void NewData();

  // Open and files dropped on the window (only the first is opened): the file goes to the
  // loader of the active tab, never chosen by its name.
  // Each is done when the file loaded, refused otherwise (a LUT with what its diagnosis line does
  // not say); the boxes of a rejected file are their only report.
  ProcedureResult Open();
  ProcedureResult OpenDropped(const std::vector<std::string>& paths);
  // A LUT file (or, with "LUTFile" set, a table of the monitor's codes) into the LUT of the
  // selected memory: code 0 loaded, 1 rejected (the table then as it was), with what the
  // diagnosis line does not say.
  LUTLoadResult ReadLutFile(const std::string& path);
  // A film-gamma table file into the selected memory: 0 loaded, -1 not.
  int ReadFilmGammaFile(const std::string& path);

  // The name of the file of the tab shown, as panel 2 shows it.
  const std::string& CurrentFileName() const { return fileNames_[shownTab_]; }
  void SetCurrentFileName(const std::string& name);
  // After the operator switched function tabs: each tab shows the name it remembers.
  void ShowTab(int newTab);

 private:
  std::string OpenFilter() const;
  ProcedureResult OpenByActiveTab(const std::string& path);
  ProcedureResult LoadByActiveTab(const std::string& path);

  HeldData& held_;
  SettingsStore& settings_;
  Dialogs& dialogs_;
  StatusView& status_;
  Views& views_;
  std::array<std::string, 3> fileNames_{};  // per function tab
  int shownTab_ = Views::kCalibrationTab;
};

}  // namespace velluma
