#pragma once

#include <string>

#include "history/HistoryRecord.h"

namespace velluma::history {

// The figures that tell the most of a run, in one line for a list of runs: AUTO's MaxBright,
// verdict and file; a verification's grey ΔE2000; a transfer's memory, file and frames.
std::string KeyFigures(const Record& record);

}  // namespace velluma::history
