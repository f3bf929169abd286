#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "colour/Target.h"
#include "colour/Verification.h"
#include "datafiles/VerificationReport.h"

// The pieces the reports of a verification and of a correction share: how each figure is
// written, the CSV's fields and columns, and the HTML page's style, cells, rows and tables.
namespace velluma::report {

// Decimals of each kind of figure, in every file.
inline constexpr int kChromaticityDecimals = 4;
inline constexpr int kTristimulusDecimals = 4;
inline constexpr int kLabDecimals = 3;
inline constexpr int kDeltaEDecimals = 3;
inline constexpr int kThresholdDecimals = 2;
inline constexpr int kKelvinDecimals = 0;
inline constexpr int kContrastDecimals = 0;
inline constexpr int kDuvDecimals = 4;
inline constexpr int kWhiteLuminanceDecimals = 2;
inline constexpr int kBlackLuminanceDecimals = 4;

// A number with fixed decimals in the C locale; empty when it is not a finite number. A value
// that rounds to zero is written without a sign.
std::string Fixed(double v, int decimals);
// A text on one line: line ends and other control characters as blanks.
std::string OneLine(std::string_view text);
std::string TargetText(const colour::Target& target);
std::string ThresholdsText(const colour::Thresholds& t);
const char* VerdictWord(bool passes);

// ---- CSV ----

// A field as RFC 4180 writes it.
std::string CsvField(std::string_view text);
// The "#" lines of the facts: instrument, monitor, time, target and thresholds.
std::string CsvHeader(const ReportInfo& info);
// The columns of a patch after its name, and one patch's figures in their order.
extern const std::span<const char* const> kColumns;
std::vector<std::string> PatchCells(const colour::PatchFigures& p);

// ---- HTML ----

extern const std::string_view kStyle;
std::string Cell(std::string_view text, std::string_view cssClass = {});
std::string Row(std::string_view heading, const std::string& cells);
// A number for the page: its fixed text, or a dash when there is none.
std::string Shown(double v, int decimals);
// The rows of the facts: instrument, monitor, time, target and thresholds.
std::string FactsRows(const ReportInfo& info);
std::string Figure(const std::string& svg, std::string_view caption);
// Every patch with its figures, as a table.
std::string PatchTable(const colour::VerificationFigures& f);

}  // namespace velluma::report
