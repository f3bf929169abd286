#pragma once

#include <string>

#include "colour/Target.h"
#include "colour/Verification.h"

namespace velluma {

// The report of a verification run, to keep: a CSV of every patch for scripts and spreadsheets,
// and one self-contained HTML page (no script, no network: styles and charts inline) that reads
// on screen and prints cleanly.
//
//   # instrument: CA-310
//   # monitor: QX-7MR520
//   # time: 2025-03-14T09:26:53Z
//   # target: white 0.3127,0.3290, curve 2.2, gamut Rec.709
//   # thresholds: grey average 1.00, grey maximum 2.00, colour average 3.00, colour maximum 5.00
//   name,R,G,B,x,y,Y,X,Y,Z,L*,a*,b*,target L*,target a*,target b*,dE2000,verdict
//   white,255,255,255,0.3127,0.3290,120.0000,114.0547,120.0000,130.6876,100.000,...,pass
//
// Numbers are written in the C locale with fixed decimals (x, y and XYZ 4, CIELAB and ΔE 3); a
// value that is not a number is an empty field. A name with a comma, a quote or a line end is
// quoted as RFC 4180 quotes it; line ends in the header's texts become blanks. Both files are
// replaced atomically: a reader sees the old file or the whole new one.

// The facts a report's header holds.
struct ReportInfo {
  std::string instrument, monitor, timeUtc;  // timeUtc: ISO 8601, as "2025-03-14T09:26:53Z"
  colour::Target target;
  colour::Thresholds thresholds;
};

// False when the file cannot be written; the file is then as it was, and `reason` (when given)
// holds the system's words for why.
bool WriteVerificationCsv(const std::string& path, const colour::VerificationFigures& figures,
                          const ReportInfo& info);
bool WriteVerificationCsv(const std::string& path, const colour::VerificationFigures& figures,
                          const ReportInfo& info, std::string& reason);
bool WriteVerificationHtml(const std::string& path, const colour::VerificationFigures& figures,
                           const ReportInfo& info);
bool WriteVerificationHtml(const std::string& path, const colour::VerificationFigures& figures,
                           const ReportInfo& info, std::string& reason);

// The files' contents, as written.
std::string VerificationCsv(const colour::VerificationFigures& figures, const ReportInfo& info);
std::string VerificationHtml(const colour::VerificationFigures& figures, const ReportInfo& info);

}  // namespace velluma
