#pragma once

#include <functional>
#include <memory>
#include <string>

#include "instruments/Analyzer.h"
#include "instruments/Analyzer2.h"
#include "instruments/Analyzer3.h"
#include "platform/Clock.h"

namespace velluma {

// The one way to the measuring instrument. Every operation reads "AnalizerModel" anew and
// forwards to the driver of that model: "CA-210" and "CA-310" the CA driver, "i1-Pro" the i1-Pro
// (measured here), "PR-655" the PR-655; any other text (and a driver that is missing) -1.
class AnalyzerFront {
 public:
  struct Drivers {
    std::unique_ptr<Analyzer>& ca;
    std::unique_ptr<Analyzer2>& i1;
    std::unique_ptr<Analyzer3>& pr;
  };
  static constexpr int kNoInstrument = -1;
  static constexpr int kI1MeasureWaitMs = 100;

  AnalyzerFront(std::function<std::string()> readModel, Drivers drivers, Clock& clock)
      : readModel_(std::move(readModel)), drivers_(drivers), clock_(clock) {}

  int AnalyzerBeginRemote();
  int AnalyzerEndRemote();
  int AnalyzerZeroCalibrate();
  // x, y, Y as the instrument delivers them; untouched on failure.
  int AnalyzerMeasure(double& x, double& y, double& Y);
  // "NoConnect" for a model without a driver.
  std::string AnalyzerErrorText(int code);

 private:
  enum class Model { Ca, I1, Pr, None };
  Model CurrentModel() const;
  int MeasureI1(double& x, double& y, double& Y);

  std::function<std::string()> readModel_;
  Drivers drivers_;
  Clock& clock_;
};

}  // namespace velluma
