// Open, Save and drop: the file goes to the loader of the active tab, never chosen by its name.
#include "calibration/TableFiles.h"

#include <iostream>

#include "calibration/StationSettings.h"
#include "datafiles/CalibrationFile.h"
#include "datafiles/FilmGammaFile.h"
#include "instruments/AnalyzerOffset.h"
#include "lut/LUTFileLoad.h"
#include "platform/InputFile.h"

namespace velluma {

namespace {
constexpr const char* kCalibrationFilter = "text File (*.txt)|*.txt|All Files(*.*)|*.*";
constexpr const char* kCsvFilter = "CSV File (*.csv)|*.csv*|All Files(*.*)|*.*";
constexpr const char* kBaselightFilter = "Baselight File (*.cub)|*.cub|All Files(*.*)|*.*";
constexpr const char* kDavinciFilter = "Davinci File (*.cube)|*.cube|All Files(*.*)|*.*";
}  // namespace

void TableFiles::SetCurrentFileName(const std::string& name) {
  fileNames_[shownTab_] = name;
  status_.SetStatusText(2, name, false);
}

void TableFiles::ShowTab(int newTab) {
  if (newTab < 0 || newTab >= static_cast<int>(fileNames_.size())) return;
  shownTab_ = newTab;
  if (newTab != Views::kCalibrationTab) status_.ShowMessageLine("");
  for (int panel = 0; panel < 3; ++panel) status_.SetStatusText(panel, "", false);
  status_.SetStatusText(2, fileNames_[newTab], false);
}

// A save that fails is reported: otherwise AUTO would report "Complete." for measurements that
// were never stored.
bool TableFiles::WriteCalibrationFile(const std::string& path) {
  const calibration_file::Header header{settings_.Read(setting::kAnalyzerModel),
                                        OffsetValue(views_.AnalyzerOffsetText(0)),
                                        OffsetValue(views_.AnalyzerOffsetText(1))};
  if (calibration_file::Write(path, held_.calibration, header)) return true;
  dialogs_.MessageBox("Cannot save the calibration data to \"" + path + "\"", "Save",
                      Dialogs::kError);
  return false;
}

// A file that is rejected changes nothing: the data held, the file name Save would write to and
// what PC -> MONITOR would send stay as they were, so one click of Save cannot replace the
// operator's file by zeros.
int TableFiles::ReadCalibrationFile(const std::string& path) {
  CalibrationData loaded;
  switch (calibration_file::Read(path, loaded)) {
    case calibration_file::ReadResult::CannotOpen:
      return 0;
    case calibration_file::ReadResult::Loaded:
      held_.calibration = loaded;
      held_.calibrationReady = true;
      held_.calibrationSource = path;
      return 1;
    case calibration_file::ReadResult::Invalid:
      break;
  }
  dialogs_.MessageBox("INVALID DATA", "DATA ERROR", Dialogs::kOkCancelError);
  views_.RefreshCalibrationTables();
  return -1;
}

void TableFiles::Save() {
  if (CurrentFileName() == kNoFileName) return SaveAs();
  WriteCalibrationFile(CurrentFileName());
}

void TableFiles::SaveAs() {
  std::string path;
  if (!dialogs_.SaveDialog(kCalibrationFilter, CurrentFileName(), path)) return;
  SetCurrentFileName(path);
  WriteCalibrationFile(path);
}

// The grey table is zeroed, so the data held is no longer a set to send: PC -> MONITOR waits for
// the next complete run or file.
void TableFiles::NewData() {
  held_.calibration.greyLevels = {};
  held_.calibrationReady = false;
  views_.RefreshCalibrationTables();
  SetCurrentFileName(kNoFileName);
}

LUTLoadResult TableFiles::ReadLutFile(const std::string& path) {
  const int memory = views_.LutMemory();
  const bool direct = settings_.Read(setting::kLutFile) != 0;
  const std::string format = direct ? std::string() : settings_.Read(setting::kLutFileType);
  InputFile input(path);
  const LUTLoadResult loaded = LoadLUTFile({path, input.Stream(), input.Reason()}, format, direct,
                                           held_.tables.lutTables[memory], std::cout);
  held_.lutLoaded[memory] = loaded.code == 0;
  held_.lutSource[memory] = loaded.code == 0 ? path : std::string();
  return loaded;
}

int TableFiles::ReadFilmGammaFile(const std::string& path) {
  const int memory = views_.FilmGammaMemory();
  switch (film_gamma_file::Read(path, held_.tables.filmGammaTables[memory])) {
    case film_gamma_file::ReadResult::CannotOpen:
      return -1;
    case film_gamma_file::ReadResult::Loaded:
      held_.filmGammaLoaded[memory] = true;
      held_.filmGammaSource[memory] = path;
      return 0;
    case film_gamma_file::ReadResult::Invalid:
      break;
  }
  dialogs_.MessageBox("INVALID DATA", "DATA ERROR", Dialogs::kOkCancelError);
  views_.RefreshFilmGammaTable();
  held_.filmGammaLoaded[memory] = false;
  return -1;
}

std::string TableFiles::OpenFilter() const {
  switch (views_.ActiveTab()) {
    case Views::kLookUpTableTab:
      if (settings_.Read(setting::kLutFile) != 0) return kCsvFilter;
      return settings_.Read(setting::kLutFileType) == setting::kBaselight ? kBaselightFilter
                                                                          : kDavinciFilter;
    case Views::kFilmGammaTab:
      return kCsvFilter;
    default:
      return kCalibrationFilter;
  }
}

ProcedureResult TableFiles::Open() {
  std::string path;
  if (!dialogs_.OpenDialog(OpenFilter(), "", path))
    return ProcedureResult::Ended(ProcedureOutcome::Refused, "");
  return OpenByActiveTab(path);
}

ProcedureResult TableFiles::OpenDropped(const std::vector<std::string>& paths) {
  if (paths.empty()) return ProcedureResult::Ended(ProcedureOutcome::Refused, "");
  return OpenByActiveTab(paths.front());
}

// The path becomes the file name in panel 2, except that a calibration data file that cannot be
// opened or is rejected changes nothing at all: Save would otherwise write the data held under a
// name it never came from.
ProcedureResult TableFiles::OpenByActiveTab(const std::string& path) {
  const std::string previousName = CurrentFileName();
  SetCurrentFileName(path);
  const int tab = views_.ActiveTab();
  ProcedureResult loaded = LoadByActiveTab(path);
  const bool tableTab = tab == Views::kLookUpTableTab || tab == Views::kFilmGammaTab;
  if (!tableTab && !loaded.Done()) SetCurrentFileName(previousName);
  return loaded;
}

ProcedureResult TableFiles::LoadByActiveTab(const std::string& path) {
  const auto ended = [](bool loaded) {
    return ProcedureResult::Ended(loaded ? ProcedureOutcome::Done : ProcedureOutcome::Refused, "");
  };
  switch (views_.ActiveTab()) {
    case Views::kLookUpTableTab: {
      const LUTLoadResult read = ReadLutFile(path);
      if (read.code == 1) {
        dialogs_.MessageBox("INVALID DATA", "DATA ERROR", Dialogs::kOkCancelError);
        held_.tables.lutTables[views_.LutMemory()] = {};
      }
      views_.RefreshLutTable();
      ProcedureResult result = ended(read.code == 0);
      result.cause = read.cause;
      return result;
    }
    case Views::kFilmGammaTab: {
      const bool loaded = ReadFilmGammaFile(path) == 0;
      views_.RefreshFilmGammaTable();
      return ended(loaded);
    }
    default:
      if (ReadCalibrationFile(path) != 1) return ended(false);
      views_.RefreshCalibrationTables();
      return ended(true);
  }
}

}  // namespace velluma
