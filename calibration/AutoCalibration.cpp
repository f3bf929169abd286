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

// The grey table is zeroed, so the data held is no longer a set to send: PC -> MONITOR waits for
// the next complete run or file.
void Station::FileNewExecute() {
  CalibrationData.YxyTable = {};
  CalibrationDataReady = 0;
  op.RefreshGridWB();
  op.SetStatusText(2, ".txt", false);
}

bool Station::PrepareI1ForMeasuring() {
  if (InstrumentCalibration() == 0) return false;
  if (op.MessageBox("Please set i1Pro to Monitor \nMeasurement Continue?", "Measurement Start",
                    Operator::kYesNoQuestion) == Operator::kAnswerNo)
    return false;
  const std::pair<const char*, const char*> options[] = {
      {"MeasurementMode", "SingleEmission"},
      {"Colorimetric.Illumination", "Emission"},
      {"ColorSpaceDescription.Type", "CIExyY"},
  };
  for (const auto& [key, value] : options) {
    if (I1Analyzer->SetOption(key, value) != 0) {
      op.ShowMessageLine("Measure Setting NG");
      return false;
    }
  }
  op.ShowMessageLine("");
  return true;
}

bool Station::CheckMonitorModel(std::string& model) {
  model.clear();
  const int result = Lcd->Query("QID", model);
  if (result < 0) {
    op.MessageBox("monitor: " + Lcd->ErrorText(result), kAutoCaption, Operator::kError);
    return false;
  }
  if (model != kModelName) {
    op.MessageBox("monitor: " + model, kAutoCaption, Operator::kError);
    return false;
  }
  return true;
}

Station::PatchOutcome Station::MeasureWhiteAndBlack(XyYValue& white) {
  if (const InstrumentResult result = AnalyzerBeginRemote(); !result.Ok()) {
    op.MessageBox("Analyzer: " + AnalyzerErrorText(result), kAutoCaption, Operator::kError);
    return PatchOutcome::Failed;
  }
  XyYValue black;
  PatchOutcome outcome = ShowAndMeasure(255, 255, 255, "255", kAutoCaption, white);
  if (outcome == PatchOutcome::Measured)
    outcome = ShowAndMeasure(0, 0, 0, "0", kAutoCaption, black);
  AnalyzerEndRemote();
  return outcome;
}

bool Station::GreyLevelsInWindow() {
  return GreyScaleInWindow(CalibrationData,
                           [this](int axis) { return OffsetValue(op.AnalyzerOffsetText(axis)); });
}

void Station::ReportAuto(bool measured, bool checkFailed) {
  const bool good = measured && !checkFailed;
  std::string text = std::string("Auto\t\t") + (good ? "Complete." : "NG");
  if (checkFailed) text += "\n RGBch\t\tNG";
  text += "\nMaxBright\t\t" + ReportedLuminance(CalibrationData.YxyTable[255].Y);
  op.MessageBox(text, kAutoCaption, good ? Operator::kOk : Operator::kError);
}

// A run that stops after the panel was set to the measuring brightness gives it back its
// normal brightness (a failure of that command has nothing more to report).
void Station::EndAutoAtNormalBrightness() {
  Lcd->SetZbl(kFinishedZbl);
  op.UnlockControls();
}

// The measurement sequence into the file chosen, the acceptance check and the report. A run that
// stopped before every patch was measured leaves the file as it was and arms no PC -> MONITOR:
// its data is a mix of measured levels and zeros.
void Station::MeasureSaveAndReport(const std::string& path) {
  op.SetStatusText(2, path, false);
  op.SetStatusText(0, "Measurement", true);
  const SequenceOutcome outcome = RunMeasureSequence();
  const bool measuredAll = outcome != SequenceOutcome::Incomplete;
  op.RefreshGridWB();
  op.SetStatusText(0, "PC->MONITOR", true);
  if (measuredAll) FileSaveProcWB(path);
  ReportAuto(outcome == SequenceOutcome::Complete, !GreyLevelsInWindow());
  op.SetStatusText(0, "", false);
  op.ShowMessageLine(measuredAll ? kCompleteLine : kIncompleteLine);
  if (measuredAll) CalibrationDataReady = 1;
  EndAutoAtNormalBrightness();
}

void Station::AutoButtonClick() {
  ProcedureScope procedure(*this);
  const bool i1 = ConfiguredInstrument().asksOperator;
  op.LockControls();
  op.ShowMessageLine("");
  FileNewExecute();
  if (i1 && !PrepareI1ForMeasuring()) {
    op.MessageBox(kAbortText, "Abort", Operator::kOk);
    return op.UnlockControls();
  }

  CreateCaAnalyzer();
  // A CA driver that found no instrument has told the operator to restart: stay locked.
  if (ConfiguredInstrument().family == InstrumentFamily::Ca && Analyzer::SetupStatus() != 0)
    return op.LockControls();

  std::string reply;
  if (!CheckMonitorModel(reply)) return op.UnlockControls();
  op.ShowModelName(reply);
  Lcd->SetZbl(kMeasuringZbl);

  XyYValue white;
  if (const PatchOutcome outcome = MeasureWhiteAndBlack(white); outcome != PatchOutcome::Measured) {
    // A monitor that fell silent is not made to time out once more.
    if (outcome == PatchOutcome::MonitorSilent) return op.UnlockControls();
    return EndAutoAtNormalBrightness();
  }
  if (!(white.Y >= kMinimumWhite)) {
    op.MessageBox(reply + "\nMaxBright\t" + ReportedLuminance(white.Y) + "\tNG", "MaxBright",
                  Operator::kError);
    op.SetStatusText(0, "", false);
    return EndAutoAtNormalBrightness();
  }

  std::string path;
  if (!op.SaveDialog(kDataFileFilter, op.StatusText(2), path)) return EndAutoAtNormalBrightness();
  MeasureSaveAndReport(path);
}

}  // namespace velluma
