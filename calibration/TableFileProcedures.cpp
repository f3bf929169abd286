// Open and drop: the file goes to the loader of the active tab, never chosen by its name.
#include <iostream>

#include "calibration/Station.h"
#include "datafiles/FilmGammaFile.h"
#include "lut/LUTFileLoad.h"

namespace velluma {

namespace {
constexpr const char* kCalibrationFilter = "text File (*.txt)|*.txt|All Files(*.*)|*.*";
constexpr const char* kCsvFilter = "CSV File (*.csv)|*.csv*|All Files(*.*)|*.*";
constexpr const char* kBaselightFilter = "Baselight File (*.cub)|*.cub|All Files(*.*)|*.*";
constexpr const char* kDavinciFilter = "Davinci File (*.cube)|*.cube|All Files(*.*)|*.*";
}  // namespace

int Station::FileOpenProcLUT(const std::string& path) {
  const int memory = op.LutMemory();
  const bool direct = ReadSetting(setting::LUTFile) != 0;
  const std::string format = direct ? std::string() : ReadSetting(setting::LutFileType);
  const LUTLoadResult loaded =
      LoadLUTFile(path, format, direct, Tables.LutTables[memory], std::cout);
  LutLoaded[memory] = loaded.code == 0 ? 1 : 0;
  lutLoadCause_ = loaded.cause;
  return loaded.code;
}

int Station::FileOpenProcFG(const std::string& path) {
  const int memory = op.FilmGammaMemory();
  switch (film_gamma_file::Read(path, Tables.FilmGammaTables[memory])) {
    case film_gamma_file::ReadResult::CannotOpen:
      return -1;
    case film_gamma_file::ReadResult::Loaded:
      FilmGammaLoaded[memory] = 1;
      return 0;
    case film_gamma_file::ReadResult::Invalid:
      break;
  }
  op.MessageBox("INVALID DATA", "DATA ERROR", Operator::kOkCancelError);
  op.RefreshGridFG();
  FilmGammaLoaded[memory] = 0;
  return -1;
}

std::string Station::OpenFilter() const {
  switch (op.ActiveTab()) {
    case Operator::kLookUpTableTab:
      if (ReadSetting(setting::LUTFile) != 0) return kCsvFilter;
      return ReadSetting(setting::LutFileType) == setting::kBaselight ? kBaselightFilter : kDavinciFilter;
    case Operator::kFilmGammaTab:
      return kCsvFilter;
    default:
      return kCalibrationFilter;
  }
}

void Station::FileOpenExecute() {
  if (procedureRunning_) return;
  std::string path;
  if (!op.OpenDialog(OpenFilter(), "", path)) return;
  OpenByActiveTab(path);
}

void Station::DropFiles(const std::vector<std::string>& paths) {
  if (procedureRunning_ || paths.empty()) return;
  OpenByActiveTab(paths.front());
}

// The path becomes the file name in panel 2, except that a calibration data file that cannot be
// opened changes nothing at all: Save would otherwise write the data held under a name it never
// came from.
void Station::OpenByActiveTab(const std::string& path) {
  const std::string previousName = op.StatusText(2);
  op.SetStatusText(2, path, false);
  if (!LoadByActiveTab(path)) op.SetStatusText(2, previousName, false);
}

bool Station::LoadByActiveTab(const std::string& path) {
  switch (op.ActiveTab()) {
    case Operator::kLookUpTableTab:
      if (FileOpenProcLUT(path) == 1) {
        op.MessageBox("INVALID DATA", "DATA ERROR", Operator::kOkCancelError);
        Tables.LutTables[op.LutMemory()] = {};
      }
      op.RefreshGridLUT();
      return true;
    case Operator::kFilmGammaTab:
      FileOpenProcFG(path);
      op.RefreshGridFG();
      return true;
    default:
      if (FileOpenProcWB(path) == 0) return false;
      op.RefreshGridWB();
      return true;
  }
}

}  // namespace velluma
