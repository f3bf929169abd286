#include "calibration/CorrectionFiles.h"

#include "datafiles/CubeFile.h"

namespace velluma {

namespace {

constexpr const char* kCubeTitle = "Velluma correction";
constexpr const char* kNoCorrection = "no correction was made";

}  // namespace

std::string CorrectionCubeText(const UserMemoryTables::LutTable& lut) {
  return cube_file::Text(lut, kCubeTitle);
}

CorrectionFacts FactsOf(const CorrectionResult& result) {
  return {result.MemoryName(), static_cast<int>(result.readings.size()), result.lutSha256};
}

bool WriteCorrectionCube(const std::string& path, const CorrectionResult& result,
                         std::string& reason) {
  if (!result.correction) {
    reason = kNoCorrection;
    return false;
  }
  return cube_file::Write(path, result.correction->lut, kCubeTitle, reason);
}

bool WriteCorrectionHtml(const std::string& path, const CorrectionResult& result,
                           std::string& reason) {
  return WriteCorrectionHtml(path, result.before.figures, result.after.figures,
                             result.after.Report(), FactsOf(result), reason);
}

bool WriteCorrectionCsv(const std::string& path, const CorrectionResult& result,
                          std::string& reason) {
  return WriteCorrectionCsv(path, result.before.figures, result.after.figures,
                            result.after.Report(), FactsOf(result), reason);
}

}  // namespace velluma
