// Instrument preparation (0-CAL.) and the analyzer offset edits.
#include "calibration/Station.h"
#include "instruments/AnalyzerOffset.h"

namespace velluma {

void Station::CreateCaAnalyzer() {
  if (CaAnalyzer) return;
  const InstrumentModel& model = ConfiguredInstrument();
  if (model.family != InstrumentFamily::Ca) return;
  CaAnalyzer = std::make_unique<Analyzer>(
      model.driverKind, ReadSetting(setting::AnalizerPort), ReadSetting(setting::AnalizerSpeed),
      [this](const std::string& text, const std::string& caption, int flags) {
        return op.MessageBox(text, caption, flags);
      },
      *caServer);
}

void Station::ZeroCalButtonClick() {
  ProcedureScope procedure(*this);
  op.LockControls();
  op.SetStatusText(0, "0-Cal", true);
  CreateCaAnalyzer();
  // A CA set-up that found no instrument has shown its box; the controls stay locked until
  // the program is restarted.
  if (ConfiguredInstrument().family == InstrumentFamily::Ca && Analyzer::SetupStatus() == -1)
    return;
  if (InstrumentCalibration() == 1) op.MessageBox("Complete.", "0-Cal.", Operator::kOk);
  op.SetStatusText(0, "", false);
  op.UnlockControls();
}

int Station::InstrumentCalibration() {
  if (ConfiguredInstrument().asksOperator) return CalibrateI1();
  return CalibrateInRemoteMode();
}

// The i1-Pro: library, connection, the calibration-plate question, the measurement mode and the
// calibration. Only the operator's No or an unusable device stop the caller; the calibration's
// own outcome shows in the message line.
int Station::CalibrateI1() {
  bool connected = false;
  if (!I1Analyzer || I1Analyzer->LoadEyeOne() != 0) {
    op.ShowMessageLine("Lib wasn't loaded");
  } else if (I1Analyzer->IsConnected() != 0) {
    op.ShowMessageLine("EyeOne Not Connected");
  } else {
    op.ShowMessageLine("EyeOne Connected");
    connected = true;
  }
  if (connected) {
    const int answer = op.MessageBox("Please set i1Pro to Calibration Plate\nCalibrate Start?",
                                     "Calibration", Operator::kYesNoQuestion);
    if (answer == Operator::kAnswerYes &&
        I1Analyzer->SetOption("MeasurementMode", "SingleEmission") == 0)
      op.ShowMessageLine(I1Analyzer->Calibrate() == 0 ? "Calibrate OK" : "Calibrate NG");
    if (answer != Operator::kAnswerNo) return 1;
  }
  op.MessageBox("0-Cal. Abort", "Abort", Operator::kOk);
  return 0;
}

// CA-210, CA-310, PR-655 and an instrument-less model: remote mode on, zero calibration, remote
// mode off.
int Station::CalibrateInRemoteMode() {
  if (!AnalyzerBeginRemote().Ok()) {
    op.MessageBox("Analyzer: Error", "0-Cal.", Operator::kError);
    return 0;
  }
  if (const InstrumentResult result = AnalyzerZeroCalibrate(); !result.Ok()) {
    op.MessageBox("Analyzer: " + AnalyzerErrorText(result), "0-Cal.", Operator::kError);
    AnalyzerEndRemote();
    return 0;
  }
  AnalyzerEndRemote();
  return 1;
}

void Station::CheckOffsetEdit(int axis) {
  const auto checked = CheckedOffsetText(op.AnalyzerOffsetText(axis));
  if (checked) {
    op.SetAnalyzerOffsetText(axis, *checked);
    return;
  }
  op.SetAnalyzerOffsetText(axis, "");
  op.MessageBox(kOffsetErrorText, kOffsetErrorCaption, Operator::kError);
}

}  // namespace velluma
