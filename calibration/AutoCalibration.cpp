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

bool Station::CheckMonitorModel(std::string& model, const char* caption) {
  model.clear();
  LCD& link = *devices_.Link();
  const int result = link.Query("QID", model);
  if (result < 0) {
    dialogs_.MessageBox("monitor: " + link.ErrorText(ResultOfRead(result)), caption,
                        Dialogs::kError);
    return false;
  }
  recorder_.MonitorModel(model);
  if (model != kModelName) {
    dialogs_.MessageBox("monitor: " + model, caption, Dialogs::kError);
    return false;
  }
  return true;
}

Station::PatchOutcome Station::MeasureWhiteAndBlack(XyYValue& white) {
  AnalyzerFront& front = devices_.Front();
  if (const InstrumentResult result = front.BeginRemote(); !result.Ok()) {
    dialogs_.MessageBox("Analyzer: " + result.ErrorText(), kAutoCaption, Dialogs::kError);
    return PatchOutcome::Failed;
  }
  XyYValue black;
  PatchOutcome outcome = measurement_.MeasurePatch(255, 255, 255, "255", kAutoCaption, white);
  if (outcome == PatchOutcome::Measured)
    outcome = measurement_.MeasurePatch(0, 0, 0, "0", kAutoCaption, black);
  front.EndRemote();
  return outcome;
}

bool Station::GreyLevelsInWindow() {
  return GreyScaleInWindow(
      held_.calibration, [this](int axis) { return OffsetValue(views_.AnalyzerOffsetText(axis)); });
}

// What AUTO measured, for the run history: the panel's brightness, the grey check's verdict and
// the primaries and white as they are held.
void Station::RecordAutoFigures() {
  const CalibrationData& data = held_.calibration;
  const auto add = [this](const std::string& name, const XyYValue& value) {
    recorder_.Figure(name + "_x", FormatC("%.4f", value.x));
    recorder_.Figure(name + "_y", FormatC("%.4f", value.y));
    recorder_.Figure(name + "_Y", FormatC("%.3f", value.Y));
  };
  add("red", data.Primaries[0]);
  add("green", data.Primaries[1]);
  add("blue", data.Primaries[2]);
  add("white", data.YxyTable[255]);
}

void Station::ReportAuto(bool measured, bool checkFailed) {
  const bool good = measured && !checkFailed;
  recorder_.Figure("max_bright", FormatC("%.3f", held_.calibration.YxyTable[255].Y));
  recorder_.Figure("rgb_verdict", checkFailed ? "NG" : "OK");
  if (measured) RecordAutoFigures();
  std::string text = std::string("Auto\t\t") + (good ? "Complete." : "NG");
  if (checkFailed) text += "\n RGBch\t\tNG";
  text += "\nMaxBright\t\t" + ReportedLuminance(held_.calibration.YxyTable[255].Y);
  dialogs_.MessageBox(text, kAutoCaption, good ? Dialogs::kOk : Dialogs::kError);
}

// A run that stops after the panel was set to the measuring brightness gives it back its
// normal brightness (a failure of that command has nothing more to report).
void Station::EndAutoAtNormalBrightness() {
  devices_.Link()->SetZbl(kFinishedZbl);
  status_.UnlockControls();
}

// A run stopped from outside ends as an abort: nothing saved, the screen black and the panel at
// its normal brightness (remote mode is already off).
void Station::StopAuto() {
  views_.RefreshCalibrationTables();
  dialogs_.MessageBox(kAbortText, "Abort", Dialogs::kOk);
  status_.SetStatusText(0, "", false);
  status_.ShowMessageLine("Auto Calibration stopped by " + devices_.Stop().Reason() +
                          ", nothing saved");
  devices_.Link()->ShowPattern(0, 0, 0);
  EndAutoAtNormalBrightness();
}

// The measurement sequence into the file chosen, the acceptance check and the report. A run that
// stopped before every patch was measured leaves the file as it was and arms no PC -> MONITOR:
// its data is a mix of measured levels and zeros.
void Station::MeasureSaveAndReport(const std::string& path) {
  files_.SetCurrentFileName(path);
  status_.SetStatusText(0, "Measurement", true);
  const SequenceOutcome outcome = measurement_.MeasureSequence();
  if (outcome == SequenceOutcome::Incomplete && devices_.Stop().Requested()) return StopAuto();
  const bool measuredAll = outcome != SequenceOutcome::Incomplete;
  views_.RefreshCalibrationTables();
  status_.SetStatusText(0, "PC->MONITOR", true);
  if (measuredAll && files_.WriteCalibrationFile(path)) {
    held_.calibrationSource = path;
    recorder_.FileFigures(path);
  }
  ReportAuto(outcome == SequenceOutcome::Complete, !GreyLevelsInWindow());
  status_.SetStatusText(0, "", false);
  status_.ShowMessageLine(measuredAll ? kCompleteLine : kIncompleteLine);
  if (measuredAll) held_.calibrationReady = true;
  EndAutoAtNormalBrightness();
}

void Station::AutoButtonClick() {
  ProcedureScope procedure(*this, history::Kind::Auto);
  const bool asksOperator = devices_.ConfiguredInstrument().asksOperator;
  status_.LockControls();
  status_.ShowMessageLine("");
  FileNewExecute();
  if (asksOperator && !PrepareI1ForMeasuring()) {
    dialogs_.MessageBox(kAbortText, "Abort", Dialogs::kOk);
    return status_.UnlockControls();
  }

  CreateCaAnalyzer();
  // A CA driver that found no instrument has told the operator to restart: stay locked.
  if (devices_.CaSetUpFailed()) return status_.LockControls();

  std::string reply;
  if (!CheckMonitorModel(reply, kAutoCaption)) return status_.UnlockControls();
  status_.ShowModelName(reply);
  devices_.Link()->SetZbl(kMeasuringZbl);

  XyYValue white;
  if (const PatchOutcome outcome = MeasureWhiteAndBlack(white); outcome != PatchOutcome::Measured) {
    // A monitor that fell silent is not made to time out once more.
    if (outcome == PatchOutcome::MonitorSilent) return status_.UnlockControls();
    return EndAutoAtNormalBrightness();
  }
  if (devices_.Stop().Requested()) return StopAuto();
  if (!(white.Y >= kMinimumWhite)) {
    recorder_.Figure("max_bright", FormatC("%.3f", white.Y));
    dialogs_.MessageBox(reply + "\nMaxBright\t" + ReportedLuminance(white.Y) + "\tNG", "MaxBright",
                        Dialogs::kError);
    status_.SetStatusText(0, "", false);
    return EndAutoAtNormalBrightness();
  }

  std::string path;
  if (!dialogs_.SaveDialog(kDataFileFilter, files_.CurrentFileName(), path))
    return EndAutoAtNormalBrightness();
  MeasureSaveAndReport(path);
}

}  // namespace velluma
