#pragma once

#include <memory>

#include "instruments/Analyzer3.h"
#include "instruments/Instrument.h"

namespace velluma {

// The PR-655: remote mode and measuring through its driver; it has no zero calibration of its
// own (0, driver or not).
class PrInstrument : public Instrument {
 public:
  explicit PrInstrument(const std::unique_ptr<Analyzer3>& driver) : driver_(driver) {}

  InstrumentResult BeginRemote() override;
  InstrumentResult EndRemote() override;
  InstrumentResult ZeroCalibrate() override { return Result(0); }
  InstrumentResult Measure(double& x, double& y, double& Y) override;
  std::string ErrorText(int code) const override { return Analyzer3::ErrorText(code); }

 private:
  const std::unique_ptr<Analyzer3>& driver_;
};

}  // namespace velluma
