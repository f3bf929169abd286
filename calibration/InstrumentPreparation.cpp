// Instrument preparation (0-CAL.) and the analyzer offset edits.
#include "calibration/InstrumentPreparation.h"

#include <utility>

#include "instruments/AnalyzerOffset.h"

namespace velluma {

InstrumentPreparation::Readiness InstrumentPreparation::Stopped(const std::string& text,
                                                                const char* caption, int flags) {
  dialogs_.MessageBox(text, caption, flags);
  return {false, text};
}

InstrumentPreparation::Readiness InstrumentPreparation::CalibrateInstrument() {
  if (devices_.ConfiguredInstrument().asksOperator) return CalibrateI1();
  return CalibrateInRemoteMode();
}

// The i1-Pro: library, connection, the calibration-plate question, the measurement mode and the
// calibration. Only the operator's No or an unusable device stop the caller; the calibration's
// own outcome shows in the message line.
InstrumentPreparation::Readiness InstrumentPreparation::CalibrateI1() {
  EyeOneAnalyzer* i1 = devices_.I1();
  bool connected = false;
  if (!i1 || i1->LoadEyeOne() != 0) {
    status_.ShowMessageLine("Lib wasn't loaded");
  } else if (i1->IsConnected() != 0) {
    status_.ShowMessageLine("EyeOne Not Connected");
  } else {
    status_.ShowMessageLine("EyeOne Connected");
    connected = true;
  }
  if (connected) {
    const int answer =
        dialogs_.MessageBox("Please set i1Pro to Calibration Plate\nCalibrate Start?",
                            "Calibration", Dialogs::kYesNoQuestion);
    if (answer == Dialogs::kAnswerYes && i1->SetOption("MeasurementMode", "SingleEmission") == 0)
      status_.ShowMessageLine(i1->Calibrate() == 0 ? "Calibrate OK" : "Calibrate NG");
    if (answer != Dialogs::kAnswerNo) return {true, ""};
  }
  return Stopped("0-Cal. Abort", "Abort", Dialogs::kOk);
}

// CA-210, CA-310, PR-655 and an instrument-less model: remote mode on, zero calibration, remote
// mode off.
InstrumentPreparation::Readiness InstrumentPreparation::CalibrateInRemoteMode() {
  AnalyzerFront& front = devices_.Front();
  if (!front.BeginRemote().Ok()) return Stopped("Analyzer: Error", "0-Cal.", Dialogs::kError);
  if (const InstrumentResult result = front.ZeroCalibrate(); !result.Ok()) {
    Readiness stopped = Stopped("Analyzer: " + result.ErrorText(), "0-Cal.", Dialogs::kError);
    front.EndRemote();
    return stopped;
  }
  front.EndRemote();
  return {true, ""};
}

bool InstrumentPreparation::PrepareI1ForMeasuring() {
  if (!CalibrateInstrument().ready) return false;
  if (dialogs_.MessageBox("Please set i1Pro to Monitor \nMeasurement Continue?",
                          "Measurement Start", Dialogs::kYesNoQuestion) == Dialogs::kAnswerNo)
    return false;
  const std::pair<const char*, const char*> options[] = {
      {"MeasurementMode", "SingleEmission"},
      {"Colorimetric.Illumination", "Emission"},
      {"ColorSpaceDescription.Type", "CIExyY"},
  };
  for (const auto& [key, value] : options) {
    if (devices_.I1()->SetOption(key, value) != 0) {
      status_.ShowMessageLine("Measure Setting NG");
      return false;
    }
  }
  status_.ShowMessageLine("");
  return true;
}

void InstrumentPreparation::CheckOffsetEdit(int axis) {
  const auto checked = CheckedOffsetText(views_.AnalyzerOffsetText(axis));
  if (checked) {
    views_.SetAnalyzerOffsetText(axis, *checked);
    return;
  }
  views_.SetAnalyzerOffsetText(axis, "");
  dialogs_.MessageBox(kOffsetErrorText, kOffsetErrorCaption, Dialogs::kError);
}

}  // namespace velluma
