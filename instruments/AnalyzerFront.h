#pragma once

#include <functional>
#include <memory>
#include <string>

#include "instruments/CaAnalyzer.h"
#include "instruments/CaInstrument.h"
#include "instruments/EyeOneAnalyzer.h"
#include "instruments/I1Instrument.h"
#include "instruments/Instrument.h"
#include "instruments/Pr655Analyzer.h"
#include "instruments/PrInstrument.h"
#include "platform/Clock.h"

namespace velluma {

// The one way to the measuring instrument. Every operation reads "AnalizerModel" anew and goes
// to the instrument of that model's family (instruments/InstrumentModel.h); a model that names
// no instrument, and a driver the station does not hold, answer as no instrument does (-1,
// "NoConnect"). Each result carries the instrument that produced it, which names its code.
class AnalyzerFront {
 public:
  struct Drivers {
    const std::unique_ptr<CaAnalyzer>& ca;
    const std::unique_ptr<EyeOneAnalyzer>& i1;
    const std::unique_ptr<Pr655Analyzer>& pr;
  };

  AnalyzerFront(std::function<std::string()> readModel, Drivers drivers, Clock& clock)
      : readModel_(std::move(readModel)),
        ca_(drivers.ca),
        i1_(drivers.i1, clock),
        pr_(drivers.pr) {}

  InstrumentResult BeginRemote() { return Current().BeginRemote(); }
  InstrumentResult EndRemote() { return Current().EndRemote(); }
  InstrumentResult ZeroCalibrate() { return Current().ZeroCalibrate(); }
  // x, y, Y as the instrument delivers them; untouched on failure.
  InstrumentResult Measure(double& x, double& y, double& Y) { return Current().Measure(x, y, Y); }

 private:
  Instrument& Current();

  std::function<std::string()> readModel_;
  CaInstrument ca_;
  I1Instrument i1_;
  PrInstrument pr_;
};

}  // namespace velluma
