#include "calibration/CorrectionResult.h"

#include "datamodel/UserMemoryTables.h"

namespace velluma {

namespace {

const char* LutWords(CorrectionResult::Table table) {
  switch (table) {
    case CorrectionResult::Table::AsItWas:
      return "its earlier LUT";
    case CorrectionResult::Table::Identity:
      return "the identity LUT";
    case CorrectionResult::Table::Correction:
      return "the correction LUT";
    case CorrectionResult::Table::Incomplete:
      break;
  }
  return "an incomplete LUT";
}

// The correction keeps the linear film gamma the identity brought.
const char* FilmGammaWords(CorrectionResult::Table table) {
  switch (table) {
    case CorrectionResult::Table::AsItWas:
      return "its earlier film gamma";
    case CorrectionResult::Table::Identity:
    case CorrectionResult::Table::Correction:
      return "a linear film gamma";
    case CorrectionResult::Table::Incomplete:
      break;
  }
  return "an incomplete film gamma";
}

}  // namespace

std::string CorrectionResult::MemoryName() const {
  return std::string(UserMemoryTables::kMemoryNames[memory]);
}

std::string CorrectionResult::MemoryContents() const {
  if (lut == Table::AsItWas && filmGamma == Table::AsItWas) return MemoryName() + " is as it was";
  return MemoryName() + " holds " + LutWords(lut) + " and " + FilmGammaWords(filmGamma);
}

std::vector<const colour::PatchFigures*> CorrectionResult::OutOfReach() const {
  std::vector<const colour::PatchFigures*> patches;
  for (const colour::PatchFigures& patch : after.figures.patches)
    if (patch.reading.outOfReach) patches.push_back(&patch);
  return patches;
}

}  // namespace velluma
