#pragma once

#include <string>

#include "calibration/CorrectionResult.h"

namespace velluma {

// What became of the files a view keeps of a correction that has ended.
struct CorrectionOutputs {
  std::string cube;     // the .cube file of the LUT that was written, for the history; "" for none
  std::string report;   // the HTML report that was written; "" for none
  std::string failure;  // why a file asked for was not written (the view has said so); "" if none
};

// Where a correction shows itself while it runs: the window's verification page, the command
// line. It is told after every step and every patch, and asked between them whether the operator
// has asked to stop.
class CorrectionView {
 public:
  virtual ~CorrectionView() = default;
  virtual void ShowCorrection(const CorrectionResult& soFar) = 0;
  virtual bool StopRequested() = 0;
  // Called once the run has ended, before the run history records it: a view that keeps the run
  // in files of its own (the command line's --cube and --report) writes them now.
  virtual CorrectionOutputs KeepOutputs(const CorrectionResult&) { return {}; }
};

}  // namespace velluma
