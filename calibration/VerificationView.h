#pragma once

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
};

}  // namespace velluma
