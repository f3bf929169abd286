#include "datafiles/CorrectionReport.h"

#include "datafiles/MarkupText.h"
#include "datafiles/ReportCharts.h"
#include "datafiles/ReportParts.h"
#include "platform/AtomicFile.h"

namespace velluma {
namespace {

using namespace report;  // the pieces every report is made of

// The classes the paired charts add to the verification report's stylesheet.
constexpr std::string_view kPairedStyle = R"(
svg .before { fill: #b5b5b5; stroke: #8a8a8a; stroke-width: 2; }
svg polyline.before { fill: none; }
svg .before-point { fill: #8a8a8a; }
svg .out-of-reach { fill: #e0a030; }
td.reach { color: #a86b00; }
)";

using Figures = colour::VerificationFigures;

std::string FactsSection(const ReportInfo& info, const CorrectionFacts& facts) {
  return "<table class=\"facts\">\n" + FactsRows(info) +
         Row("Memory", Cell(OneLine(facts.memory))) +
         Row("Patches measured for the correction", Cell(std::to_string(facts.patches))) +
         Row("LUT SHA-256", Cell(OneLine(facts.lutSha256))) + "</table>\n";
}

// A kind's figure, or a dash when the kind was not measured.
std::string KindFigure(const colour::Verdict& v, double figure) {
  return Cell(v.Measured() ? Shown(figure, kDeltaEDecimals) : "–", "n");
}

std::string KindVerdict(const colour::Verdict& v) {
  if (!v.Measured()) return Cell("not measured");
  if (!v.Complete()) return Cell("–");
  return Cell(VerdictWord(v.passes), VerdictWord(v.passes));
}

std::string Pair(std::string_view heading, const std::string& before, const std::string& after,
                 const std::string& limit = "<td></td>") {
  return Row(heading, before + after + limit);
}

std::string Limit(double value) {
  return Cell(Fixed(value, kThresholdDecimals), "n");
}

std::string WhiteText(const Figures& f) {
  return Shown(f.whiteChromaticity.x, kChromaticityDecimals) + ", " +
         Shown(f.whiteChromaticity.y, kChromaticityDecimals);
}

std::string OverallVerdict(const Figures& after) {
  if (after.greys.count < after.greys.planned || after.colours.count < after.colours.planned)
    return "<p class=\"overall\">Not every patch was measured after the correction.</p>\n";
  const bool passes = after.Passes();
  return std::string("<p class=\"overall ") + VerdictWord(passes) + "\">" +
         (passes ? "After the correction the display passes."
                 : "After the correction the display fails.") +
         "</p>\n";
}

std::string KindRows(const char* kind, const colour::Verdict& before, const colour::Verdict& after,
                     double averageLimit, double maximumLimit) {
  const std::string name(kind);
  return Pair(name + ": average ΔE2000", KindFigure(before, before.average),
              KindFigure(after, after.average), Limit(averageLimit)) +
         Pair(name + ": maximum ΔE2000", KindFigure(before, before.maximum),
              KindFigure(after, after.maximum), Limit(maximumLimit)) +
         Pair(name + ": verdict", KindVerdict(before), KindVerdict(after));
}

std::string SummarySection(const Figures& before, const Figures& after, const ReportInfo& info) {
  const colour::Thresholds& t = info.thresholds;
  std::string html = "<h2>Before and after</h2>\n" + OverallVerdict(after);
  html +=
      "<table class=\"summary\">\n<tr><th></th><th>before</th><th>after</th><th>at most</th>"
      "</tr>\n";
  html += KindRows("Greys", before.greys, after.greys, t.greyAverage, t.greyMaximum);
  html += KindRows("Colours", before.colours, after.colours, t.colourAverage, t.colourMaximum);
  const auto both = [&](std::string_view heading, auto text) {
    html += Pair(heading, Cell(text(before), "n"), Cell(text(after), "n"));
  };
  both("White x, y", WhiteText);
  both("Correlated colour temperature", [](const Figures& f) {
    return Shown(f.whiteTemperature.kelvin, kKelvinDecimals) + " K";
  });
  both("Contrast ratio", [](const Figures& f) {
    return f.contrast > 0 ? Shown(f.contrast, kContrastDecimals) + ":1" : std::string("–");
  });
  both("White luminance", [](const Figures& f) {
    return Shown(f.whiteY, kWhiteLuminanceDecimals) + " cd/m²";
  });
  both("Black luminance", [](const Figures& f) {
    return Shown(f.blackY, kBlackLuminanceDecimals) + " cd/m²";
  });
  return html + "</table>\n";
}

// The colours whose targets the panel cannot show, with their ΔE2000 before and after.
std::string OutOfReachSection(const Figures& before, const Figures& after) {
  std::string rows;
  for (std::size_t i = 0; i < after.patches.size(); ++i) {
    const colour::PatchFigures& p = after.patches[i];
    if (!p.reading.outOfReach) continue;
    const bool paired = i < before.patches.size() && before.patches[i].reading.name == p.reading.name;
    rows += Row(p.reading.name, Cell(paired ? Shown(before.patches[i].deltaE, kDeltaEDecimals) : "–",
                                     "n") +
                                    Cell(Shown(p.deltaE, kDeltaEDecimals), "n"));
  }
  if (rows.empty()) return {};
  return "<h2>Colours the panel cannot show</h2>\n<p>Their targets lie outside what the panel "
         "can reach: the correction keeps each one's lightness and hue and gives up chroma, and "
         "they are left out of the colours' figures and verdicts above.</p>\n<table class=\"summary\">\n<tr><th></th>"
         "<th>ΔE2000 before</th><th>ΔE2000 after</th></tr>\n" +
         rows + "</table>\n";
}

std::string ChartsSection(const Figures& before, const Figures& after, const ReportInfo& info) {
  return "<h2>Charts</h2>\n" +
         Figure(ToneCurveChart(after, info.target, &before),
                "Tone curve: the greys' luminance before and after the correction, over the "
                "target curve.") +
         Figure(DeltaEChart(after, info.thresholds, &before),
                "ΔE2000 of every patch: grey before the correction, beside it after (green within "
                "its maximum, red beyond it, orange out of the panel's reach).") +
         Figure(ChromaticityChart(after, info.target),
                "CIE 1931 xy after the correction: the target gamut and white, the measured "
                "colours and white.");
}

std::string CsvRows(const char* run, const Figures& f) {
  std::string csv;
  for (const colour::PatchFigures& p : f.patches) {
    csv += std::string(run) + "," + CsvField(p.reading.name);
    for (const std::string& cell : PatchCells(p)) csv += "," + cell;
    csv += p.reading.outOfReach ? ",out of reach\n" : ",\n";
  }
  return csv;
}

}  // namespace

std::string CorrectionHtml(const Figures& before, const Figures& after, const ReportInfo& info,
                           const CorrectionFacts& facts) {
  const std::string title = "Correction of " + OneLine(info.monitor) + " " +
                            OneLine(facts.memory) + ", " + OneLine(info.timeUtc);
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>" +
         EscapeMarkup(title) + "</title>\n<style>" + std::string(kStyle) +
         std::string(kPairedStyle) + "</style>\n</head>\n<body>\n<h1>Panel correction</h1>\n" +
         FactsSection(info, facts) + SummarySection(before, after, info) +
         OutOfReachSection(before, after) + ChartsSection(before, after, info) +
         "<h2>Patches after the correction</h2>\n" + PatchTable(after) +
         "<h2>Patches before the correction</h2>\n" + PatchTable(before) + "</body>\n</html>\n";
}

std::string CorrectionCsv(const Figures& before, const Figures& after, const ReportInfo& info,
                          const CorrectionFacts& facts) {
  std::string csv = CsvHeader(info);
  csv += "# memory: " + OneLine(facts.memory) + "\n";
  csv += "# patches measured for the correction: " + std::to_string(facts.patches) + "\n";
  csv += "# lut sha256: " + OneLine(facts.lutSha256) + "\n";
  csv += "run,name";
  for (const char* column : kColumns) csv += std::string(",") + column;
  csv += ",reach\n";
  return csv + CsvRows("before", before) + CsvRows("after", after);
}

bool WriteCorrectionHtml(const std::string& path, const Figures& before, const Figures& after,
                         const ReportInfo& info, const CorrectionFacts& facts,
                         std::string& reason) {
  return ReplaceFileAtomically(path, CorrectionHtml(before, after, info, facts), reason);
}

bool WriteCorrectionCsv(const std::string& path, const Figures& before, const Figures& after,
                        const ReportInfo& info, const CorrectionFacts& facts,
                        std::string& reason) {
  return ReplaceFileAtomically(path, CorrectionCsv(before, after, info, facts), reason);
}

}  // namespace velluma
