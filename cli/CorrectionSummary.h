#pragma once

#include <string>

#include "calibration/CorrectionResult.h"

namespace velluma::cli {

// A correction for the console: the verification before (through the identity LUT) and after
// (through the correction), each as verify prints it, then both runs' figures side by side, the
// colours beyond the panel's reach and the LUT's SHA-256. Only what was measured is printed.
std::string CorrectionSummary(const CorrectionResult& result);

}  // namespace velluma::cli
