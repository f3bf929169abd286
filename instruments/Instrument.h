#pragma once

#include <string>

namespace velluma {

class Instrument;

// What an instrument operation returned, with the instrument that returned it, so that its code
// is named by that instrument's own texts (a PR-655 code is not a CA code).
struct InstrumentResult {
  int code = 0;
  const Instrument* instrument = nullptr;

  bool Ok() const { return code == 0; }
  std::string ErrorText() const;
};

// One measuring instrument as the analyzer front uses it: a small adapter around its driver.
// An adapter whose driver is missing answers as no instrument does.
class Instrument {
 public:
  static constexpr int kNoInstrument = -1;

  virtual ~Instrument() = default;
  virtual InstrumentResult BeginRemote() = 0;
  virtual InstrumentResult EndRemote() = 0;
  virtual InstrumentResult ZeroCalibrate() = 0;
  // x, y, Y as the instrument delivers them; untouched on failure.
  virtual InstrumentResult Measure(double& x, double& y, double& Y) = 0;
  virtual std::string ErrorText(int code) const = 0;

 protected:
  InstrumentResult Result(int code) const { return {code, this}; }
};

}  // namespace velluma
