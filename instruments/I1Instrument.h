#pragma once

#include <memory>

#include "instruments/EyeOneAnalyzer.h"
#include "instruments/Instrument.h"
#include "platform/Clock.h"

namespace velluma {

// The i1-Pro: it has no remote mode and no zero calibration of its own (both answer 0, driver
// or not); it measures on a trigger and keeps x, y, Y for the tri-stimulus read.
class I1Instrument : public Instrument {
 public:
  static constexpr int kMeasureWaitMs = 100;

  I1Instrument(const std::unique_ptr<EyeOneAnalyzer>& driver, Clock& clock)
      : driver_(driver), clock_(clock) {}

  InstrumentResult BeginRemote() override { return Result(0); }
  InstrumentResult EndRemote() override { return Result(0); }
  InstrumentResult ZeroCalibrate() override { return Result(0); }
  InstrumentResult Measure(double& x, double& y, double& Y) override;
  std::string ErrorText(int code) const override;

 private:
  const std::unique_ptr<EyeOneAnalyzer>& driver_;
  Clock& clock_;
};

}  // namespace velluma
