#pragma once

#include <string>

#include "history/HistoryRecord.h"

namespace velluma::history {

// The figures that tell the most of a run, in one line for a list of runs: AUTO's MaxBright,
// verdict and file; a verification's grey ΔE2000; a transfer's memory, file and frames; a
// correction's memory, its greys' average ΔE2000 before and after, and its .cube file.
std::string KeyFigures(const Record& record);

}  // namespace velluma::history
