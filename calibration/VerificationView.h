#pragma once

#include <string>

#include "calibration/VerificationResult.h"

namespace velluma {

// Where a verification shows itself while it runs: the window's verification page, the command
// line's progress lines. It is told after every patch and asked before every patch whether the
// operator has asked to stop.
class VerificationView {
 public:
  virtual ~VerificationView() = default;
  // The run so far; called once before the first patch (nothing measured) and after each one.
  virtual void ShowVerification(const VerificationResult& soFar) = 0;
  virtual bool StopRequested() = 0;
  // Where a finished run's report is to be saved, when that is known before the run (the command
  // line's --report), for the run history; "" otherwise.
  virtual std::string ReportPath() const { return {}; }
};

}  // namespace velluma
