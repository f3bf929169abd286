#include "datafiles/VerificationReport.h"

#include <string_view>

#include "datafiles/MarkupText.h"
#include "datafiles/ReportCharts.h"
#include "datafiles/ReportParts.h"
#include "platform/AtomicFile.h"

namespace velluma {
namespace {

using namespace report;  // the pieces every report is made of

std::string FactsSection(const ReportInfo& info) {
  return "<table class=\"facts\">\n" + FactsRows(info) + "</table>\n";
}

// A kind measured in part has its figures but no verdict; one not measured has neither.
std::string VerdictRow(std::string_view kind, const colour::Verdict& v, double averageLimit,
                       double maximumLimit) {
  const auto measured = [&](double figure) {
    return v.Measured() ? Shown(figure, kDeltaEDecimals) : "–";
  };
  const std::string verdict = !v.Measured()  ? Cell("not measured")
                              : v.Complete() ? Cell(VerdictWord(v.passes), VerdictWord(v.passes))
                                             : Cell("–");
  return Row(kind, Cell(std::to_string(v.count), "n") + Cell(measured(v.average), "n") +
                       Cell(Fixed(averageLimit, kThresholdDecimals), "n") +
                       Cell(measured(v.maximum), "n") +
                       Cell(Fixed(maximumLimit, kThresholdDecimals), "n") + verdict);
}

std::string OverallVerdict(const colour::VerificationFigures& f) {
  if (f.patches.empty()) return "<p class=\"overall\">No patch was measured.</p>\n";
  if (f.greys.count < f.greys.planned || f.colours.count < f.colours.planned)
    return "<p class=\"overall\">Not every patch was measured.</p>\n";
  const bool passes = f.Passes();
  return std::string("<p class=\"overall ") + VerdictWord(passes) + "\">" +
         (passes ? "The display passes." : "The display fails.") + "</p>\n";
}

std::string SummarySection(const colour::VerificationFigures& f, const ReportInfo& info) {
  const colour::Thresholds& t = info.thresholds;
  std::string html = "<h2>Summary</h2>\n" + OverallVerdict(f);
  html +=
      "<table class=\"summary\">\n<tr><th></th><th>patches</th><th>average ΔE2000</th>"
      "<th>at most</th><th>maximum ΔE2000</th><th>at most</th><th>verdict</th></tr>\n";
  html += VerdictRow("Greys", f.greys, t.greyAverage, t.greyMaximum);
  html += VerdictRow("Colours", f.colours, t.colourAverage, t.colourMaximum);
  html += "</table>\n<table class=\"summary\">\n";
  html += Row("White x, y", Cell(Shown(f.whiteChromaticity.x, kChromaticityDecimals) + ", " +
                                     Shown(f.whiteChromaticity.y, kChromaticityDecimals),
                                 "n"));
  html += Row("Correlated colour temperature",
              Cell(Shown(f.whiteTemperature.kelvin, kKelvinDecimals) + " K", "n"));
  const std::string duv = Shown(f.whiteTemperature.duv, kDuvDecimals);
  html += Row("Δuv", Cell((f.whiteTemperature.duv > 0 ? "+" : "") + duv, "n"));
  html += Row("Contrast ratio",
              Cell(f.contrast > 0 ? Shown(f.contrast, kContrastDecimals) + ":1" : "–", "n"));
  html += Row("White luminance", Cell(Shown(f.whiteY, kWhiteLuminanceDecimals) + " cd/m²", "n"));
  html += Row("Black luminance", Cell(Shown(f.blackY, kBlackLuminanceDecimals) + " cd/m²", "n"));
  return html + "</table>\n";
}

std::string ChartsSection(const colour::VerificationFigures& f, const ReportInfo& info) {
  return "<h2>Charts</h2>\n" +
         Figure(ToneCurveChart(f, info.target),
                "Tone curve: the measured greys' luminance over the target curve.") +
         Figure(DeltaEChart(f, info.thresholds),
                "ΔE2000 of every patch, green within its maximum, red beyond it.") +
         Figure(ChromaticityChart(f, info.target),
                "CIE 1931 xy: the target gamut and white, the measured colours and white.");
}

std::string PatchSection(const colour::VerificationFigures& f) {
  return "<h2>Patches</h2>\n" + PatchTable(f);
}

}  // namespace

std::string VerificationCsv(const colour::VerificationFigures& figures, const ReportInfo& info) {
  std::string csv = CsvHeader(info) + "name";
  for (const char* column : kColumns) csv += std::string(",") + column;
  csv += "\n";
  for (const colour::PatchFigures& p : figures.patches) {
    csv += CsvField(p.reading.name);
    for (const std::string& cell : PatchCells(p)) csv += "," + cell;
    csv += "\n";
  }
  return csv;
}

std::string VerificationHtml(const colour::VerificationFigures& figures, const ReportInfo& info) {
  const std::string title =
      "Verification of " + OneLine(info.monitor) + ", " + OneLine(info.timeUtc);
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>" +
         EscapeMarkup(title) + "</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n" +
         "<body>\n<h1>Calibration verification</h1>\n" + FactsSection(info) +
         SummarySection(figures, info) + ChartsSection(figures, info) + PatchSection(figures) +
         "</body>\n</html>\n";
}

bool WriteVerificationCsv(const std::string& path, const colour::VerificationFigures& figures,
                          const ReportInfo& info) {
  std::string reason;
  return WriteVerificationCsv(path, figures, info, reason);
}

bool WriteVerificationCsv(const std::string& path, const colour::VerificationFigures& figures,
                          const ReportInfo& info, std::string& reason) {
  return ReplaceFileAtomically(path, VerificationCsv(figures, info), reason);
}

bool WriteVerificationHtml(const std::string& path, const colour::VerificationFigures& figures,
                           const ReportInfo& info) {
  std::string reason;
  return WriteVerificationHtml(path, figures, info, reason);
}

bool WriteVerificationHtml(const std::string& path, const colour::VerificationFigures& figures,
                           const ReportInfo& info, std::string& reason) {
  return ReplaceFileAtomically(path, VerificationHtml(figures, info), reason);
}

}  // namespace velluma
