#pragma once

#include <memory>

#include "instruments/Instrument.h"
#include "instruments/Pr655Analyzer.h"

namespace velluma {

// The PR-655: remote mode and measuring through its driver; it has no zero calibration of its
// own (0, driver or not).
class PrInstrument : public Instrument {
 public:
  explicit PrInstrument(const std::unique_ptr<Pr655Analyzer>& driver) : driver_(driver) {}

  InstrumentResult BeginRemote() override;
  InstrumentResult EndRemote() override;
  InstrumentResult ZeroCalibrate() override { return Result(0); }
  InstrumentResult Measure(double& x, double& y, double& Y) override;
  std::string ErrorText(int code) const override { return Pr655Analyzer::ErrorText(code); }

 private:
  const std::unique_ptr<Pr655Analyzer>& driver_;
};

}  // namespace velluma
