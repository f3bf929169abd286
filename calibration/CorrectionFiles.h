#pragma once

#include <string>

#include "calibration/CorrectionResult.h"
#include "datafiles/CorrectionReport.h"

namespace velluma {

// The files a correction run is kept in: its LUT as a DaVinci Resolve .cube (which Velluma loads
// back into a memory as the same table, and grading software uses), and its report.

// The .cube text of a correction LUT; the run history keeps its SHA-256.
std::string CorrectionCubeText(const UserMemoryTables::LutTable& lut);

// What the correction's report says of the correction: the memory, the patches, the LUT's hash.
CorrectionFacts FactsOf(const CorrectionResult& result);

// Each false, with the system's reason in `reason`, when the file cannot be written (the file is
// then as it was) or when `result` has no correction (the reason says so).
bool WriteCorrectionCube(const std::string& path, const CorrectionResult& result,
                         std::string& reason);
bool WriteCorrectionHtml(const std::string& path, const CorrectionResult& result,
                           std::string& reason);
bool WriteCorrectionCsv(const std::string& path, const CorrectionResult& result,
                          std::string& reason);

}  // namespace velluma
