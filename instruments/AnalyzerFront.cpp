#include "instruments/AnalyzerFront.h"

namespace velluma {

AnalyzerFront::Model AnalyzerFront::CurrentModel() const {
  const std::string model = readModel_();
  if (model == "CA-210" || model == "CA-310") return Model::Ca;
  if (model == "i1-Pro") return Model::I1;
  if (model == "PR-655") return Model::Pr;
  return Model::None;
}

// A driver the model needs but the station does not hold (a setting changed behind the
// program's back) answers as no instrument does.
int AnalyzerFront::AnalyzerBeginRemote() {
  switch (CurrentModel()) {
    case Model::Ca:
      return drivers_.ca ? drivers_.ca->BeginRemote() : kNoInstrument;
    case Model::I1:
      return 0;
    case Model::Pr:
      return drivers_.pr ? drivers_.pr->BeginRemote() : kNoInstrument;
    default:
      return kNoInstrument;
  }
}

int AnalyzerFront::AnalyzerEndRemote() {
  switch (CurrentModel()) {
    case Model::Ca:
      return drivers_.ca ? drivers_.ca->EndRemote() : kNoInstrument;
    case Model::I1:
      return 0;
    case Model::Pr:
      return drivers_.pr ? drivers_.pr->EndRemote() : kNoInstrument;
    default:
      return kNoInstrument;
  }
}

int AnalyzerFront::AnalyzerZeroCalibrate() {
  switch (CurrentModel()) {
    case Model::Ca:
      return drivers_.ca ? drivers_.ca->ZeroCalibrate() : kNoInstrument;
    case Model::I1:
    case Model::Pr:
      return 0;  // neither has a zero calibration
    default:
      return kNoInstrument;
  }
}

int AnalyzerFront::AnalyzerMeasure(double& x, double& y, double& Y) {
  switch (CurrentModel()) {
    case Model::Ca:
      return drivers_.ca ? drivers_.ca->Measure(x, y, Y) : kNoInstrument;
    case Model::I1:
      return drivers_.i1 ? MeasureI1(x, y, Y) : kNoInstrument;
    case Model::Pr:
      return drivers_.pr ? drivers_.pr->Measure(x, y, Y) : kNoInstrument;
    default:
      return kNoInstrument;
  }
}

// The i1-Pro measures on a trigger and keeps x, y, Y for the tri-stimulus read.
int AnalyzerFront::MeasureI1(double& x, double& y, double& Y) {
  clock_.Pause(kI1MeasureWaitMs);
  if (drivers_.i1->TriggerMeasurement() != 0) return kNoInstrument;
  float triStimulus[3] = {0, 0, 0};
  drivers_.i1->GetTriStimulus(triStimulus, 0);
  x = triStimulus[0];
  y = triStimulus[1];
  Y = triStimulus[2];
  return 0;
}

std::string AnalyzerFront::AnalyzerErrorText(int code) {
  const std::string model = readModel_();
  if (model == "CA-210" || model == "CA-310") return Analyzer::ErrorText(code);
  if (model == "i1-Pro")
    return code == -1 ? "MeasureSingle failed." : code == 0 ? "OK" : "Unknown error";
  if (model == "PR-655") return Analyzer3::ErrorText(code);
  return "NoConnect";
}

}  // namespace velluma
