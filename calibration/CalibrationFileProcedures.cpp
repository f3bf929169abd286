// Save, Save As and Open of the calibration data file.
#include "calibration/Station.h"
#include "datafiles/CalibrationFile.h"
#include "instruments/AnalyzerOffset.h"

namespace velluma {

namespace {
constexpr const char* kDataFileFilter = "text File (*.txt)|*.txt|All Files(*.*)|*.*";
constexpr const char* kNoFileName = ".txt";
}  // namespace

// A save that fails is reported: otherwise AUTO would report "Complete." for measurements that
// were never stored.
bool Station::FileSaveProcWB(const std::string& path) {
  const calibration_file::Header header{ReadSetting(setting::AnalizerModel),
                                        OffsetValue(op.AnalyzerOffsetText(0)),
                                        OffsetValue(op.AnalyzerOffsetText(1))};
  if (calibration_file::Write(path, CalibrationData, header)) return true;
  op.MessageBox("Cannot save the calibration data to \"" + path + "\"", "Save", Operator::kError);
  return false;
}

int Station::FileOpenProcWB(const std::string& path) {
  switch (calibration_file::Read(path, CalibrationData)) {
    case calibration_file::ReadResult::CannotOpen:
      return 0;
    case calibration_file::ReadResult::Loaded:
      CalibrationDataReady = 1;
      return 1;
    case calibration_file::ReadResult::Invalid:
      break;
  }
  op.MessageBox("INVALID DATA", "DATA ERROR", Operator::kOkCancelError);
  op.RefreshGridWB();
  CalibrationDataReady = 0;
  return -1;
}

void Station::FileSaveExecute() {
  const std::string name = op.StatusText(2);
  if (name == kNoFileName) return FileSaveAsExecute();
  FileSaveProcWB(name);
}

void Station::FileSaveAsExecute() {
  std::string path;
  if (!op.SaveDialog(kDataFileFilter, op.StatusText(2), path)) return;
  op.SetStatusText(2, path, false);
  FileSaveProcWB(path);
}

}  // namespace velluma
