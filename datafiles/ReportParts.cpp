// The pieces both reports are made of: numbers as the files write them, the CSV's fields and the
// HTML page's style, cells, rows and tables.
#include "datafiles/ReportParts.h"

#include <cmath>

#include "datafiles/MarkupText.h"
#include "platform/CLocale.h"

namespace velluma::report {

namespace {

constexpr const char* kColumnNames[] = {"R",         "G",         "B",         "x",      "y",      "Y",
                                    "X",         "Y",         "Z",         "L*",     "a*",     "b*",
                                    "target L*", "target a*", "target b*", "dE2000", "verdict"};

}  // namespace

const std::span<const char* const> kColumns = kColumnNames;

const std::string_view kStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 14px; color: #222;
       margin: 24px auto; max-width: 1000px; padding: 0 16px; }
h1 { font-size: 22px; margin-bottom: 4px; }
h2 { font-size: 17px; margin-top: 28px; border-bottom: 1px solid #ccc; }
table { border-collapse: collapse; margin: 8px 0; }
th, td { padding: 3px 8px; border-bottom: 1px solid #e2e2e2; text-align: left; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
.patches th, .patches td { font-size: 12px; padding: 2px 5px; }
.overall { font-size: 18px; font-weight: bold; padding: 6px 10px; display: inline-block; }
.overall.pass, td.pass { color: #1e7b45; }
.overall.fail, td.fail { color: #b0281a; }
.overall.pass { border: 2px solid #1e7b45; }
.overall.fail { border: 2px solid #b0281a; }
figure { margin: 16px 0; }
figcaption { font-size: 13px; color: #555; }
svg { max-width: 100%; height: auto; font-family: inherit; }
svg .grid { stroke: #e4e4e4; stroke-width: 1; }
svg .frame { fill: none; stroke: #444; stroke-width: 1; }
svg .tick { font-size: 11px; fill: #444; }
svg .axis-title, svg .legend { font-size: 12px; fill: #222; }
svg .target { fill: none; stroke: #777; stroke-width: 2; stroke-dasharray: 6 4; }
svg .measured { fill: none; stroke: #1f5fbf; stroke-width: 2; }
svg .measured-point { fill: #1f5fbf; }
svg .pass { fill: #2e9b5d; }
svg .fail, svg .fail-mark { fill: #c0392b; }
svg .threshold-grey { stroke: #555; stroke-width: 1.5; stroke-dasharray: 5 3; }
svg .threshold-colour { stroke: #8e44ad; stroke-width: 1.5; stroke-dasharray: 2 3; }
svg .threshold-label, svg .point-label, svg .wavelength { font-size: 11px; fill: #333; }
svg .locus { fill: #fafafa; stroke: #333; stroke-width: 1.5; }
svg .gamut { fill: none; stroke: #777; stroke-width: 1.5; stroke-dasharray: 6 4; }
svg .measured-gamut { fill: none; stroke: #1f5fbf; stroke-width: 1.5; }
svg .target-white { stroke: #000; stroke-width: 1.5; }
svg .white-point { fill: #fff; stroke: #000; stroke-width: 1.5; }
@media print {
  @page { size: A4; margin: 14mm; }
  body { margin: 0; max-width: none; padding: 0; font-size: 10pt; }
  h2 { break-after: avoid; }
  figure, table.summary, table.facts, tr { break-inside: avoid; }
  .overall, td.pass, td.fail, svg * { print-color-adjust: exact; -webkit-print-color-adjust: exact; }
}
)";

// A number with fixed decimals in the C locale; empty when it is not a finite number. A value
// that rounds to zero is written without a sign.
std::string Fixed(double v, int decimals) {
  if (!std::isfinite(v)) return "";
  std::string text = FormatC("%.*f", decimals, v);
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

// A text on one line: line ends and other control characters as blanks.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return line;
}

std::string TargetText(const colour::Target& target) {
  return "white " + Fixed(target.white.x, kChromaticityDecimals) + "," +
         Fixed(target.white.y, kChromaticityDecimals) + ", curve " +
         colour::ToneCurveName(target.curve) + ", gamut " + std::string(target.Primaries().name);
}

std::string ThresholdsText(const colour::Thresholds& t) {
  const auto f = [](double v) { return Fixed(v, kThresholdDecimals); };
  return "grey average " + f(t.greyAverage) + ", grey maximum " + f(t.greyMaximum) +
         ", colour average " + f(t.colourAverage) + ", colour maximum " + f(t.colourMaximum);
}

const char* VerdictWord(bool passes) {
  return passes ? "pass" : "fail";
}

// A field as RFC 4180 writes it: in quotes, with quotes doubled, when it holds a comma, a quote
// or a line end, or starts or ends with a blank.
std::string CsvField(std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string field = "\"";
  for (char c : text) field += c == '"' ? std::string("\"\"") : std::string(1, c);
  return field + "\"";
}

// The figures of one patch, in the order of the header row.
std::vector<std::string> PatchCells(const colour::PatchFigures& p) {
  const auto& r = p.reading;
  return {std::to_string(r.r),
          std::to_string(r.g),
          std::to_string(r.b),
          Fixed(r.x, kChromaticityDecimals),
          Fixed(r.y, kChromaticityDecimals),
          Fixed(r.Y, kTristimulusDecimals),
          Fixed(p.measured.X, kTristimulusDecimals),
          Fixed(p.measured.Y, kTristimulusDecimals),
          Fixed(p.measured.Z, kTristimulusDecimals),
          Fixed(p.lab.lightness, kLabDecimals),
          Fixed(p.lab.a, kLabDecimals),
          Fixed(p.lab.b, kLabDecimals),
          Fixed(p.targetLab.lightness, kLabDecimals),
          Fixed(p.targetLab.a, kLabDecimals),
          Fixed(p.targetLab.b, kLabDecimals),
          Fixed(p.deltaE, kDeltaEDecimals),
          VerdictWord(p.passes)};
}

std::string CsvHeader(const ReportInfo& info) {
  std::string csv = "# instrument: " + OneLine(info.instrument) + "\n";
  csv += "# monitor: " + OneLine(info.monitor) + "\n";
  csv += "# time: " + OneLine(info.timeUtc) + "\n";
  csv += "# target: " + TargetText(info.target) + "\n";
  csv += "# thresholds: " + ThresholdsText(info.thresholds) + "\n";
  return csv;
}

std::string Cell(std::string_view text, std::string_view cssClass) {
  if (cssClass.empty()) return "<td>" + EscapeMarkup(text) + "</td>";
  return "<td class=\"" + EscapeMarkup(cssClass) + "\">" + EscapeMarkup(text) + "</td>";
}

std::string Row(std::string_view heading, const std::string& cells) {
  return "<tr><th>" + EscapeMarkup(heading) + "</th>" + cells + "</tr>\n";
}

// A number for the page: its fixed text, or a dash when there is none.
std::string Shown(double v, int decimals) {
  const std::string text = Fixed(v, decimals);
  return text.empty() ? "–" : text;
}

std::string FactsRows(const ReportInfo& info) {
  return Row("Instrument", Cell(OneLine(info.instrument))) +
         Row("Monitor", Cell(OneLine(info.monitor))) +
         Row("Time (UTC)", Cell(OneLine(info.timeUtc))) +
         Row("Target", Cell(TargetText(info.target))) +
         Row("Thresholds (ΔE2000)", Cell(ThresholdsText(info.thresholds)));
}

std::string Figure(const std::string& svg, std::string_view caption) {
  return "<figure>\n" + svg + "\n<figcaption>" + EscapeMarkup(caption) +
         "</figcaption>\n</figure>\n";
}

std::string PatchTable(const colour::VerificationFigures& f) {
  std::string html = "<table class=\"patches\">\n<tr><th>patch</th>";
  for (std::string_view column : kColumns)
    html += "<th>" + EscapeMarkup(column == "dE2000" ? "ΔE2000" : column) + "</th>";
  html += "</tr>\n";
  for (const colour::PatchFigures& p : f.patches) {
    std::string cells;
    const std::vector<std::string> values = PatchCells(p);
    for (std::size_t i = 0; i + 1 < values.size(); ++i)
      cells += Cell(values[i].empty() ? "–" : values[i], "n");
    cells += Cell(values.back(), values.back());
    html += Row(p.reading.name, cells);
  }
  return html + "</table>\n";
}

}  // namespace velluma::report
