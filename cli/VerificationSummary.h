#pragma once

#include <string>

#include "calibration/VerificationResult.h"

namespace velluma::cli {

// The verification as a table for the console: one line per measured patch (shown RGB, measured
// x, y, Y, ΔE2000 and its verdict), then the verdicts of the greys and of the colours, the
// white's colour temperature and the contrast, and the whole verdict.
std::string VerificationSummary(const VerificationResult& result);

}  // namespace velluma::cli
