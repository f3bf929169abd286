#pragma once

#include <string>

#include "calibration/VerificationResult.h"

namespace velluma {

// What became of the files a view keeps of a run that has ended.
struct VerificationOutputs {
  // The HTML report that was written, for the run history; "" for none.
  std::string report;
  // Why a file asked for was not written (the view has said so); "" when every one was.
  std::string failure;
};

// Where a verification shows itself while it runs: the window's verification page, the command
// line's progress lines. It is told after every patch and asked before every patch whether the
// operator has asked to stop.
class VerificationView {
 public:
  virtual ~VerificationView() = default;
  // The run so far; called once before the first patch (nothing measured) and after each one.
  virtual void ShowVerification(const VerificationResult& soFar) = 0;
  virtual bool StopRequested() = 0;
  // Called once the run has ended, before the run history records it: a view that keeps the run
  // in files of its own (the command line's --report and --csv) writes them now, so that the
  // history names only a report that was written and never counts a run whose files were lost as
  // passed.
  virtual VerificationOutputs KeepOutputs(const VerificationResult&) { return {}; }
};

}  // namespace velluma
