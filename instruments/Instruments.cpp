// The adapters around the three drivers, and the result that names its code.
#include "instruments/CaInstrument.h"
#include "instruments/I1Instrument.h"
#include "instruments/NoInstrument.h"
#include "instruments/PrInstrument.h"

namespace velluma {

std::string InstrumentResult::ErrorText() const {
  return instrument ? instrument->ErrorText(code) : NoInstrument::Instance().ErrorText(code);
}

const NoInstrument& NoInstrument::Instance() {
  static const NoInstrument kNone;
  return kNone;
}

InstrumentResult CaInstrument::BeginRemote() {
  return driver_ ? Result(driver_->BeginRemote()) : NoInstrument::Missing();
}

InstrumentResult CaInstrument::EndRemote() {
  return driver_ ? Result(driver_->EndRemote()) : NoInstrument::Missing();
}

InstrumentResult CaInstrument::ZeroCalibrate() {
  return driver_ ? Result(driver_->ZeroCalibrate()) : NoInstrument::Missing();
}

InstrumentResult CaInstrument::Measure(double& x, double& y, double& Y) {
  return driver_ ? Result(driver_->Measure(x, y, Y)) : NoInstrument::Missing();
}

InstrumentResult I1Instrument::Measure(double& x, double& y, double& Y) {
  if (!driver_) return NoInstrument::Missing();
  clock_.Pause(kMeasureWaitMs);
  if (driver_->TriggerMeasurement() != 0) return Result(kNoInstrument);
  float triStimulus[3] = {0, 0, 0};
  driver_->GetTriStimulus(triStimulus, 0);
  x = triStimulus[0];
  y = triStimulus[1];
  Y = triStimulus[2];
  return Result(0);
}

std::string I1Instrument::ErrorText(int code) const {
  return code == -1 ? "MeasureSingle failed." : code == 0 ? "OK" : "Unknown error";
}

InstrumentResult PrInstrument::BeginRemote() {
  return driver_ ? Result(driver_->BeginRemote()) : NoInstrument::Missing();
}

InstrumentResult PrInstrument::EndRemote() {
  return driver_ ? Result(driver_->EndRemote()) : NoInstrument::Missing();
}

InstrumentResult PrInstrument::Measure(double& x, double& y, double& Y) {
  return driver_ ? Result(driver_->Measure(x, y, Y)) : NoInstrument::Missing();
}

}  // namespace velluma
