#pragma once

#include "instruments/Instrument.h"

namespace velluma {

// "NoConnect", an unknown model, or a model whose driver the station does not hold: every
// operation fails with kNoInstrument, named "NoConnect".
class NoInstrument : public Instrument {
 public:
  static const NoInstrument& Instance();
  // The result of an operation that found no driver to run it.
  static InstrumentResult Missing() { return {kNoInstrument, &Instance()}; }

  InstrumentResult BeginRemote() override { return Missing(); }
  InstrumentResult EndRemote() override { return Missing(); }
  InstrumentResult ZeroCalibrate() override { return Missing(); }
  InstrumentResult Measure(double&, double&, double&) override { return Missing(); }
  std::string ErrorText(int) const override { return "NoConnect"; }
};

}  // namespace velluma
