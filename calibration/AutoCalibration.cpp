// AUTO: reset, instrument preparation, model and brightness checks, the measurement sequence,
// the calibration data file, the grey-scale acceptance check and the report.
#include <algorithm>
#include <cmath>

#include "calibration/GreyScaleCheck.h"
#include "calibration/Station.h"
#include "instruments/AnalyzerOffset.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {

constexpr const char* kAutoCaption = "Auto";
constexpr const char* kAbortText = "Auto Calibration Abort";
constexpr const char* kCompleteLine = "Auto Calibration Complete";
constexpr const char* kIncompleteLine = "Auto Calibration NG: measurement stopped, nothing saved";
constexpr int kMeasuringZbl = 200;
constexpr int kFinishedZbl = 100;
constexpr double kMinimumWhite = 225.0;

constexpr const char* kDataFileFilter = "text File (*.txt)|*.txt|All Files(*.*)|*.*";

// A luminance as the reports show it: truncated towards zero in "%4d". A value that is not a
// number, or beyond 32 bits, shows as 0 or the nearest 32-bit value instead of an undefined one.
std::string ReportedLuminance(double Y) {
  long long whole = 0;
  if (!std::isnan(Y))
    whole = static_cast<long long>(std::trunc(std::clamp(Y, -2147483648.0, 2147483647.0)));
  return FormatC("%4d", static_cast<int>(whole));
}

}  // namespace

// The monitor's model, asked on the link: true when it is the QX-7MR520. Otherwise a box under
// `caption` says what answered (or why nothing did), and `result` ends with it; the model a
// monitor answered is kept in `result` either way.
bool Station::CheckMonitorModel(std::string& model, const char* caption, ProcedureResult& result) {
  model.clear();
  LCD& link = *devices_.Link();
  const int read = link.Query("QID", model);
  if (read < 0) {
    result.report = "monitor: " + link.ErrorText(ResultOfRead(read));
    dialogs_.MessageBox(result.report, caption, Dialogs::kError);
    return false;
  }
  result.monitor = model;
  if (model != kModelName) {
    result.report = "monitor: " + model;
    dialogs_.MessageBox(result.report, caption, Dialogs::kError);
    return false;
  }
  return true;
}

MeasurementRun::PatchResult Station::MeasureWhiteAndBlack(XyYValue& white) {
  AnalyzerFront& front = devices_.Front();
  if (const InstrumentResult result = front.BeginRemote(); !result.Ok()) {
    const std::string failure = "Analyzer: " + result.ErrorText();
    dialogs_.MessageBox(failure, kAutoCaption, Dialogs::kError);
    return {PatchOutcome::Failed, failure};
  }
  XyYValue black;
  PatchResult patch = measurement_.MeasurePatch(255, 255, 255, "255", kAutoCaption, white);
  if (patch.Measured()) patch = measurement_.MeasurePatch(0, 0, 0, "0", kAutoCaption, black);
  front.EndRemote();
  return patch;
}

bool Station::GreyLevelsInWindow() {
  return GreyScaleInWindow(
      held_.calibration, [this](int axis) { return OffsetValue(views_.AnalyzerOffsetText(axis)); });
}

// What AUTO measured, for the run history: the primaries and white as they are held.
void Station::AddAutoFigures(ProcedureResult& result) const {
  const CalibrationData& data = held_.calibration;
  const auto add = [&result](const std::string& name, const XyYValue& value) {
    result.AddFigure(name + "_x", FormatC("%.4f", value.x));
    result.AddFigure(name + "_y", FormatC("%.4f", value.y));
    result.AddFigure(name + "_Y", FormatC("%.3f", value.Y));
  };
  add("red", data.primaries[0]);
  add("green", data.primaries[1]);
  add("blue", data.primaries[2]);
  add("white", data.greyLevels[255]);
}

// The report box: "Complete." when every patch was measured and written and the greys lie in
// their window, "NG" otherwise. It is AUTO's result, which the command line prints as such.
void Station::ReportAuto(bool measured, bool checkFailed, ProcedureResult& result) {
  const bool good = measured && !checkFailed;
  result.AddFigure("max_bright", FormatC("%.3f", held_.calibration.greyLevels[255].Y));
  result.AddFigure("rgb_verdict", checkFailed ? "NG" : "OK");
  if (measured) AddAutoFigures(result);
  std::string text = std::string("Auto\t\t") + (good ? "Complete." : "NG");
  if (checkFailed) text += "\n RGBch\t\tNG";
  text += "\nMaxBright\t\t" + ReportedLuminance(held_.calibration.greyLevels[255].Y);
  dialogs_.ShowReport(text, kAutoCaption, good ? Dialogs::kOk : Dialogs::kError);
  result.report = text;
  result.outcome = good ? ProcedureOutcome::Done : ProcedureOutcome::Refused;
}

// A run that stops after the panel was set to the measuring brightness gives it back its
// normal brightness (a failure of that command has nothing more to report).
void Station::EndAutoAtNormalBrightness() {
  devices_.Link()->SetZbl(kFinishedZbl);
  status_.UnlockControls();
}

// A run stopped from outside ends as an abort: nothing saved, the screen black and the panel at
// its normal brightness (remote mode is already off).
ProcedureResult Station::StopAuto(ProcedureResult result) {
  views_.RefreshCalibrationTables();
  dialogs_.MessageBox(kAbortText, "Abort", Dialogs::kOk);
  status_.SetStatusText(0, "", false);
  status_.ShowMessageLine("Auto Calibration stopped by " + devices_.Stop().Reason() +
                          ", nothing saved");
  devices_.Link()->ShowPattern(0, 0, 0);
  EndAutoAtNormalBrightness();
  result.outcome = ProcedureOutcome::Failed;
  result.report = kAbortText;
  return result;
}

// The measurement sequence into the file chosen, the acceptance check and the report. A run that
// stopped before every patch was measured leaves the file as it was and arms no PC -> MONITOR:
// its data is a mix of measured levels and zeros. A failure reported before the report (of a
// patch, of a write into the monitor, of the save) fails the run whatever the report says.
ProcedureResult Station::MeasureSaveAndReport(const std::string& path, ProcedureResult result) {
  files_.SetCurrentFileName(path);
  status_.SetStatusText(0, "Measurement", true);
  const SequenceResult sequence = measurement_.MeasureSequence();
  if (sequence.outcome == SequenceOutcome::Incomplete && devices_.Stop().Requested())
    return StopAuto(std::move(result));
  const bool measuredAll = sequence.outcome != SequenceOutcome::Incomplete;
  bool failureReported = !sequence.failure.empty();
  views_.RefreshCalibrationTables();
  status_.SetStatusText(0, "PC->MONITOR", true);
  if (measuredAll) {
    if (files_.WriteCalibrationFile(path)) {
      held_.calibrationSource = path;
      result.AddFile(path);
    } else {
      failureReported = true;
    }
  }
  ReportAuto(sequence.outcome == SequenceOutcome::Complete, !GreyLevelsInWindow(), result);
  if (failureReported) result.outcome = ProcedureOutcome::Failed;
  status_.SetStatusText(0, "", false);
  status_.ShowMessageLine(measuredAll ? kCompleteLine : kIncompleteLine);
  if (measuredAll) held_.calibrationReady = true;
  EndAutoAtNormalBrightness();
  return result;
}

ProcedureResult Station::RunAutoOnce() {
  const bool asksOperator = devices_.ConfiguredInstrument().asksOperator;
  status_.LockControls();
  status_.ShowMessageLine("");
  files_.NewData();
  if (asksOperator && !PrepareI1ForMeasuring()) {
    dialogs_.MessageBox(kAbortText, "Abort", Dialogs::kOk);
    status_.UnlockControls();
    return ProcedureResult::Ended(ProcedureOutcome::Failed, kAbortText);
  }

  // A CA driver that found no instrument has told the operator to restart: stay locked.
  const std::string caFailure = devices_.CreateCaAnalyzer();
  if (devices_.CaSetUpFailed()) {
    status_.LockControls();
    return ProcedureResult::Ended(ProcedureOutcome::Failed, caFailure);
  }

  ProcedureResult result;
  std::string reply;
  if (!CheckMonitorModel(reply, kAutoCaption, result)) {
    status_.UnlockControls();
    return result;
  }
  status_.ShowModelName(reply);
  devices_.Link()->SetZbl(kMeasuringZbl);

  XyYValue white;
  if (PatchResult patch = MeasureWhiteAndBlack(white); !patch.Measured()) {
    result.report = std::move(patch.failure);
    // A monitor that fell silent is not made to time out once more.
    if (patch.outcome == PatchOutcome::MonitorSilent)
      status_.UnlockControls();
    else
      EndAutoAtNormalBrightness();
    return result;
  }
  if (devices_.Stop().Requested()) return StopAuto(std::move(result));
  if (!(white.Y >= kMinimumWhite)) {
    result.AddFigure("max_bright", FormatC("%.3f", white.Y));
    result.report = reply + "\nMaxBright\t" + ReportedLuminance(white.Y) + "\tNG";
    result.outcome = ProcedureOutcome::Refused;
    dialogs_.MessageBox(result.report, "MaxBright", Dialogs::kError);
    status_.SetStatusText(0, "", false);
    EndAutoAtNormalBrightness();
    return result;
  }

  std::string path;
  if (!dialogs_.SaveDialog(kDataFileFilter, files_.CurrentFileName(), path)) {
    EndAutoAtNormalBrightness();
    return result;
  }
  return MeasureSaveAndReport(path, std::move(result));
}

ProcedureResult Station::RunAuto() {
  ProcedureScope procedure(*this, history::Kind::Auto);
  return procedure.Ended(RunAutoOnce());
}

}  // namespace velluma
