#pragma once

#include <string>

#include "colour/Verification.h"
#include "datafiles/VerificationReport.h"

namespace velluma {

// The report of a correction run: the verification through the identity LUT ("before") and
// through the correction ("after"), side by side. The HTML page has the facts, a table of both
// runs' figures, the colours the panel cannot show, the tone curves and ΔE2000 bars of both runs
// in one chart each, the chromaticities after, and every patch of both runs. The CSV is the
// verification's CSV with a first column "run" (before, after). Both are written as the
// verification's report is: C locale, fixed decimals, replaced atomically.
//
//   # instrument: CA-310
//   # ...
//   # memory: USER1
//   # patches measured for the correction: 40
//   # lut sha256: 3f5e...
//   run,name,R,G,B,x,y,Y,X,Y,Z,L*,a*,b*,target L*,target a*,target b*,dE2000,verdict,reach
//   before,white,255,255,255,...,pass,
//   after,red,255,0,0,...,fail,out of reach

// What the report says of the correction itself.
struct CorrectionFacts {
  std::string memory;       // "USER1"
  int patches = 0;          // measured to model the panel
  std::string lutSha256;    // of the LUT's .cube text
};

std::string CorrectionHtml(const colour::VerificationFigures& before,
                           const colour::VerificationFigures& after, const ReportInfo& info,
                           const CorrectionFacts& facts);
std::string CorrectionCsv(const colour::VerificationFigures& before,
                          const colour::VerificationFigures& after, const ReportInfo& info,
                          const CorrectionFacts& facts);

// False when the file cannot be written; the file is then as it was, and `reason` holds the
// system's words for why.
bool WriteCorrectionHtml(const std::string& path, const colour::VerificationFigures& before,
                         const colour::VerificationFigures& after, const ReportInfo& info,
                         const CorrectionFacts& facts, std::string& reason);
bool WriteCorrectionCsv(const std::string& path, const colour::VerificationFigures& before,
                        const colour::VerificationFigures& after, const ReportInfo& info,
                        const CorrectionFacts& facts, std::string& reason);

}  // namespace velluma
