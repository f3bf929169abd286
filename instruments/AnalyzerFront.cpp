#include "instruments/AnalyzerFront.h"

#include "instruments/InstrumentModel.h"
#include "instruments/NoInstrument.h"

namespace velluma {

Instrument& AnalyzerFront::Current() {
  static NoInstrument none;
  switch (InstrumentModelNamed(readModel_()).family) {
    case InstrumentFamily::Ca:
      return ca_;
    case InstrumentFamily::I1:
      return i1_;
    case InstrumentFamily::Pr:
      return pr_;
    case InstrumentFamily::None:
      break;
  }
  return none;
}

}  // namespace velluma
