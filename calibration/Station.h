#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calibration/Devices.h"
#include "calibration/HeldData.h"
#include "calibration/InstrumentPreparation.h"
#include "calibration/MeasurementRun.h"
#include "calibration/Operator.h"
#include "calibration/ProcedureResult.h"
#include "calibration/RunRecorder.h"
#include "calibration/TableFiles.h"
#include "calibration/Transfers.h"
#include "calibration/VerificationResult.h"
#include "calibration/VerificationRun.h"
#include "calibration/VerificationView.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

namespace velluma {

// Everything that lives for the whole run: the devices, the data held for the monitor and the
// procedures that work on them, each command under the name of the window's handler. The work is
// done by collaborators that take only what they use (Devices, InstrumentPreparation,
// MeasurementRun, TableFiles, Transfers); the station keeps their state private, runs AUTO on
// them and holds back the commands that would replace the devices or the data under a running
// procedure. It reaches the person and the window only through the operator's roles.
class Station {
 public:
  static constexpr const char* kModelName = "QX-7MR520";

  Station(Dialogs& dialogs, StatusView& status, Views& views, SettingsStore& settings,
          Clock& clock);
  Station(Operator& op, SettingsStore& settings, Clock& clock)
      : Station(op, op, op, settings, clock) {}
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Settings: never cached; failures are RegistryError for the top-level handler.
  std::string ReadSetting(const setting::Text& setting) const { return settings_.Read(setting); }
  std::int32_t ReadSetting(const setting::Number& setting) const { return settings_.Read(setting); }
  void WriteSetting(const setting::Text& setting, const std::string& value) {
    settings_.Write(setting, value);
  }
  void LoadSettings() { settings_.LoadSettings(); }

  // Start-up after the window has emptied its model label.
  void FormCreate();

  // The instrument driver of the configured model, and the monitor link, as at start-up; and
  // every device ended and deleted.
  void CreateDevices();
  void DestroyDevices() { devices_.Destroy(); }
  // Creates the CA driver for a CA-210 or CA-310 when there is none.
  void CreateCaAnalyzer() { devices_.CreateCaAnalyzer(); }

  // The analyzer front: every operation reads "AnalizerModel" anew.
  InstrumentResult AnalyzerBeginRemote() { return devices_.Front().BeginRemote(); }
  InstrumentResult AnalyzerEndRemote() { return devices_.Front().EndRemote(); }
  InstrumentResult AnalyzerMeasure(double& x, double& y, double& Y) {
    return devices_.Front().Measure(x, y, Y);
  }

  // The offset edits lost the focus.
  void AnalyzerOffsetCxEditChange() { preparation_.CheckOffsetEdit(0); }
  void AnalyzerOffsetCyEditChange() { preparation_.CheckOffsetEdit(1); }

  // 0-CAL.: prepares the configured instrument.
  ProcedureResult ZeroCalButtonClick();
  // 1 when the caller may go on measuring, 0 when it must stop.
  int InstrumentCalibration() { return preparation_.CalibrateInstrument().ready ? 1 : 0; }
  // The i1-Pro made ready to measure the monitor (0-CAL.'s calibration on the plate, the
  // operator's word that it is on the screen, the measurement options). False when stopped.
  bool PrepareI1ForMeasuring() { return preparation_.PrepareI1ForMeasuring(); }

  // One patch: shown, measured, the offsets added, displayed. False after a failure, which it has
  // reported under `caption`; `result` is written only on success.
  bool MeasurePatch(int red, int green, int blue, const std::string& patchName,
                    const std::string& caption, XyYValue& result);
  // The primaries and the 256 grey levels measured and written into the monitor.
  bool MeasureSequence();
  // AUTO.
  ProcedureResult AutoButtonClick();
  // Verify: measures the verification patches against the target the settings name and shows
  // them on `view` as they arrive. It shows patches and measures; it writes nothing into the
  // monitor and saves nothing.
  VerificationResult Verify(VerificationView& view);
  // The grey table zeroed for a new data set without a file name (".txt").
  void FileNewExecute() { files_.NewData(); }

  // The calibration data file.
  bool FileSaveProcWB(const std::string& path) { return files_.WriteCalibrationFile(path); }
  int FileOpenProcWB(const std::string& path) { return files_.ReadCalibrationFile(path); }
  void FileSaveExecute() { files_.Save(); }
  void FileSaveAsExecute() { files_.SaveAs(); }

  // Property: every device closed before the settings dialog, made again from the new settings
  // after it, however it closed.
  void FilePropertyExecute();
  // The operator asked to exit: true when the program is to end.
  bool FileExitExecute();
  // After the operator switched function tabs.
  void FuncPageControlChange(int newTab) { files_.ShowTab(newTab); }

  // Open, and files dropped on the window.
  void FileOpenExecute();
  void DropFiles(const std::vector<std::string>& paths);
  int FileOpenProcLUT(const std::string& path) { return files_.ReadLutFile(path); }
  int FileOpenProcFG(const std::string& path) { return files_.ReadFilmGammaFile(path); }
  const std::string& LutLoadCause() const { return files_.LutLoadCause(); }

  // The transfers to the monitor: PC -> MONITOR and the two Start buttons.
  ProcedureResult DownloadButtonClick();
  ProcedureResult LUTStartButtonClick();
  ProcedureResult FilmGammaStartButtonClick();

  // A value typed into a cell of the "Yxy Table" or "LCD Color" grid: column 1 x, 2 y, 3 Y of
  // the grey level or primary of that row. ConvertError when the text is not a number.
  void YxyStringGridSetEditText(int column, int row, const std::string& text);
  void ColorStringGridSetEditText(int column, int row, const std::string& text);

  // Data to send, held as if a file had been loaded (for the command line and the tests).
  void HoldCalibrationData(const CalibrationData& data);
  void HoldLut(int memory, const UserMemoryTables::LutTable& table);
  void HoldFilmGamma(int memory, const UserMemoryTables::FilmGammaTable& table);

  // The run history every procedure that talks to the monitor is recorded in: a file or a
  // "postgresql://" server ("" for none), opened at the first record; failures go to the message
  // line and to `log` when given.
  void UseHistory(const std::string& location, std::ostream* log = nullptr) {
    recorder_.UseHistory(location, log);
  }
  void UseHistory(std::unique_ptr<history::HistoryStore> store, std::ostream* log = nullptr) {
    recorder_.UseHistory(std::move(store), log);
  }
  // Where the history is kept, for reading it; "" when none is kept or it was given as a store.
  const std::string& HistoryLocation() const { return recorder_.Location(); }

  // Where a run learns that it is to stop from outside (the command line's signals): `reason`
  // names what asked, empty while nothing has. Long procedures ask between their steps, stop
  // after the frame or patch in flight, leave the devices as their failure paths do, and are
  // recorded in the history as stopped.
  void StopWhen(std::function<std::string()> reason) { devices_.Stop().AskWith(std::move(reason)); }

  // What the station holds and uses, to look at.
  const HeldData& Held() const { return held_; }
  LCD* Link() { return devices_.Link(); }
  ::velluma::Devices& DeviceSet() { return devices_; }

  // Marks a procedure as running for as long as it lives: the commands that would replace the
  // devices or the data under it (Exit, Property, Open, dropped files) do not act meanwhile. A
  // procedure that talks to the monitor names its kind, and the outermost one is recorded in the
  // run history when it ends, with the result the procedure gave it (a failure without a report
  // when it gave none, as when an error escapes it).
  class ProcedureScope {
   public:
    explicit ProcedureScope(Station& station, std::optional<history::Kind> recorded = {});
    ~ProcedureScope();
    ProcedureScope(const ProcedureScope&) = delete;
    ProcedureScope& operator=(const ProcedureScope&) = delete;

    // The procedure's result, kept for the history; returned as it is.
    const ProcedureResult& Ended(const ProcedureResult& result) {
      result_ = result;
      return result;
    }

   private:
    Station& station_;
    bool outer_;
    bool recorded_;
    ProcedureResult result_;
  };
  bool ProcedureRunning() const { return procedureRunning_; }

 private:
  using PatchOutcome = MeasurementRun::PatchOutcome;
  using PatchResult = MeasurementRun::PatchResult;
  using SequenceOutcome = MeasurementRun::SequenceOutcome;
  using SequenceResult = MeasurementRun::SequenceResult;

  bool CheckMonitorModel(std::string& model, const char* caption, ProcedureResult& result);
  ProcedureResult RunAutoOnce();
  PatchResult MeasureWhiteAndBlack(XyYValue& white);
  ProcedureResult MeasureSaveAndReport(const std::string& path, ProcedureResult result);
  void EndAutoAtNormalBrightness();
  ProcedureResult StopAuto(ProcedureResult result);
  bool GreyLevelsInWindow();
  void ReportAuto(bool measured, bool checkFailed, ProcedureResult& result);
  void AddAutoFigures(ProcedureResult& result) const;
  ProcedureResult ZeroCalibrateOnce();
  bool BeginVerification(VerificationResult& result);
  void EndVerification(VerificationResult& result, const std::string& message,
                       const VerificationOutputs& outputs);
  static void AddVerificationFigures(const colour::VerificationFigures& figures,
                                     ProcedureResult& ended);
  ProcedureResult RunTransfer(history::Kind kind, std::optional<int> memory,
                              const std::string& source,
                              const std::function<ProcedureResult()>& send);

  Dialogs& dialogs_;
  StatusView& status_;
  Views& views_;
  SettingsStore& settings_;
  HeldData held_;
  ::velluma::Devices devices_;
  InstrumentPreparation preparation_;
  MeasurementRun measurement_;
  VerificationRun verification_;
  TableFiles files_;
  Transfers transfers_;
  RunRecorder recorder_;
  bool procedureRunning_ = false;
};

}  // namespace velluma
