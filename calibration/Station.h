#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calibration/CorrectionResult.h"
#include "calibration/CorrectionRun.h"
#include "calibration/CorrectionView.h"
#include "calibration/Devices.h"
#include "calibration/HeldData.h"
#include "calibration/InstrumentPreparation.h"
#include "calibration/MeasurementRun.h"
#include "calibration/Operator.h"
#include "calibration/ProcedureResult.h"
#include "calibration/RunRecorder.h"
#include "calibration/StationSettings.h"
#include "calibration/TableFiles.h"
#include "calibration/Transfers.h"
#include "calibration/VerificationResult.h"
#include "calibration/VerificationRun.h"
#include "calibration/VerificationView.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

namespace velluma {

namespace test {
class StationSeam;
}  // namespace test

// Everything that lives for the whole run: the devices, the data held for the monitor and the
// procedures that work on them, each a verb that says what it does. The work is done by
// collaborators that take only what they use (Devices, InstrumentPreparation, MeasurementRun,
// VerificationRun, CorrectionRun, TableFiles, Transfers); the station keeps their state private, runs AUTO on them and holds back
// the commands that would replace the devices or the data under a running procedure. It reaches
// the person and the window only through the operator's roles. Every procedure that talks to the
// monitor returns what happened and is recorded in the run history with that result.
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
  void WriteSetting(const setting::Text& setting, const std::string& value) {
    settings_.Write(setting, value);
  }

  // Start-up, after the window has emptied its model label: the settings filled in, the views
  // emptied, the devices opened, and the model shown when the QX-7MR520 answers.
  void Start();

  // The instrument driver of the configured model and the monitor link, as at start-up; false
  // when another run holds one of their ports (the message line names it). CloseDevices ends
  // every device and deletes it.
  bool OpenDevices();
  void CloseDevices() { devices_.Destroy(); }

  // The procedures. 0-CAL. prepares the configured instrument; AUTO measures the primaries and
  // the grey levels, writes them into the monitor, saves them and reports; Verify measures the
  // verification patches against the target the settings name, showing them on `view` as they
  // arrive, and writes nothing into the monitor.
  ProcedureResult ZeroCalibrate();
  ProcedureResult RunAuto();
  VerificationResult Verify(VerificationView& view);
  // Correct: a correction LUT for user memory `memory` (0..2), made from measurements of the
  // panel through that memory and sent into it, with the verification before and after, shown
  // on `view` as it goes. Done when finished (whatever the verdict after), refused when the
  // operator does not select the memory on the monitor, failed when stopped or when a device
  // fails; the message line ends by saying which tables the memory holds.
  CorrectionResult Correct(int memory, CorrectionView& view);
  // One patch as AUTO measures white and black: the instrument made ready, remote mode, the
  // patch shown on the "Yxy Value" display; a failure is reported under "Measurement".
  ProcedureResult MeasurePatch(int red, int green, int blue);
  // The monitor's model: done for the QX-7MR520, refused for another (the report is the model
  // either way), failed when the link fails (the report says why).
  ProcedureResult QueryMonitor();
  // The transfers: the calibration data held (PC -> MONITOR), and the LUT or film-gamma table of
  // user memory `memory` (0..2).
  ProcedureResult SendCalibration();
  ProcedureResult SendLut(int memory);
  ProcedureResult SendFilmGamma(int memory);

  // The files of the function tabs. NewData zeroes the grey table (no file name, ".txt");
  // OpenFile asks for a file and OpenFiles takes dropped ones (the first): either goes to the
  // loader of the active tab, and is done when it loaded. LoadLut reads a LUT file into the
  // memory the LookUpTable tab has selected, without the box a rejected one gets on the tab.
  void NewData() { files_.NewData(); }
  void OpenFile();
  ProcedureResult OpenFiles(const std::vector<std::string>& paths);
  ProcedureResult LoadLut(const std::string& path);
  void SaveFile() { files_.Save(); }
  void SaveFileAs() { files_.SaveAs(); }
  // After the operator switched function tabs: each shows the file name it remembers.
  void ShowTab(int tab) { files_.ShowTab(tab); }

  // A value typed into a cell of the grey table ("Yxy Table") or of the primaries ("LCD Color"):
  // column 1 x, 2 y, 3 Y of the grey level or primary of that row. ConvertError when the text is
  // not a number.
  void SetGreyTableCell(int column, int row, const std::string& text);
  void SetPrimaryTableCell(int column, int row, const std::string& text);
  // The offset edit of `axis` (0 x, 1 y) the operator left: kept when it holds an offset,
  // emptied with a box otherwise.
  void CheckOffsetEdit(int axis) { preparation_.CheckOffsetEdit(axis); }

  // The settings changed in the Property dialog: every device closed before it, made again from
  // the new settings after it, however it closed.
  void ChangeSettings();
  // The operator asked to exit: true when the program is to end (the devices are closed).
  bool Exit();

  // The run history every procedure that talks to the monitor is recorded in: a file or a
  // "postgresql://" server ("" for none), opened at the first record; failures go to the message
  // line and to `log` when given.
  void UseHistory(const std::string& location, std::ostream* log = nullptr) {
    recorder_.UseHistory(location, log);
  }
  // Where the history is kept, for reading it; "" when none is kept.
  const std::string& HistoryLocation() const { return recorder_.Location(); }

  // Where a run learns that it is to stop from outside (the command line's signals): `reason`
  // names what asked, empty while nothing has. Long procedures ask between their steps, stop
  // after the frame or patch in flight, leave the devices as their failure paths do, and are
  // recorded in the history as stopped.
  void StopWhen(std::function<std::string()> reason) { devices_.Stop().AskWith(std::move(reason)); }

  // What the station holds for the monitor, to show.
  const HeldData& Held() const { return held_; }
  // While a procedure runs, the commands that would replace the devices or the data do nothing.
  bool ProcedureRunning() const { return procedureRunning_; }

 private:
  friend class test::StationSeam;  // tests drive one collaborator alone

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

  using PatchOutcome = MeasurementRun::PatchOutcome;
  using PatchResult = MeasurementRun::PatchResult;
  using SequenceOutcome = MeasurementRun::SequenceOutcome;
  using SequenceResult = MeasurementRun::SequenceResult;

  bool CheckMonitorModel(std::string& model, const char* caption, ProcedureResult& result);
  ProcedureResult RunAutoOnce();
  bool InstrumentReadyToMeasure();
  bool PrepareI1ForMeasuring() { return preparation_.PrepareI1ForMeasuring(); }
  PatchResult MeasureWhiteAndBlack(XyYValue& white);
  ProcedureResult MeasureSaveAndReport(const std::string& path, ProcedureResult result);
  void EndAutoAtNormalBrightness();
  ProcedureResult StopAuto(ProcedureResult result);
  bool GreyLevelsInWindow();
  void ReportAuto(bool measured, bool checkFailed, ProcedureResult& result);
  void AddAutoFigures(ProcedureResult& result) const;
  ProcedureResult ZeroCalibrateOnce();
  bool BeginVerification(VerificationResult& result, const char* caption);
  void EndVerification(VerificationResult& result, const std::string& message,
                       const VerificationOutputs& outputs);
  static void AddVerificationFigures(const colour::VerificationFigures& figures,
                                     ProcedureResult& ended);
  bool BeginCorrection(CorrectionResult& result);
  void EndCorrection(CorrectionResult& result, const std::string& message,
                     const CorrectionOutputs& outputs);
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
  CorrectionRun correction_;
  TableFiles files_;
  Transfers transfers_;
  RunRecorder recorder_;
  bool procedureRunning_ = false;
};

}  // namespace velluma
