#pragma once

#include <memory>

#include "instruments/CaAnalyzer.h"
#include "instruments/Instrument.h"

namespace velluma {

// The CA-210 or CA-310: every operation goes to the CA driver, made on its first use.
class CaInstrument : public Instrument {
 public:
  explicit CaInstrument(const std::unique_ptr<CaAnalyzer>& driver) : driver_(driver) {}

  InstrumentResult BeginRemote() override;
  InstrumentResult EndRemote() override;
  InstrumentResult ZeroCalibrate() override;
  InstrumentResult Measure(double& x, double& y, double& Y) override;
  std::string ErrorText(int code) const override { return CaAnalyzer::ErrorText(code); }

 private:
  const std::unique_ptr<CaAnalyzer>& driver_;
};

}  // namespace velluma
