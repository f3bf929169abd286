#include "cli/CorrectionSummary.h"

#include "cli/VerificationSummary.h"
#include "platform/CLocale.h"

namespace velluma::cli {

namespace {

using Figure = double colour::Verdict::*;

std::string Shown(const colour::Verdict& verdict, Figure figure) {
  return verdict.Measured() ? FormatC("%7.2f", verdict.*figure) : std::string("      -");
}

// "greys    average    1.52    0.31      1.00".
std::string FigureLine(const char* kind, const char* name, Figure figure, const colour::Verdict& before,
                       const colour::Verdict& after, double limit) {
  return FormatC("%-8s %-8s %s %s    %6.2f\n", kind, name, Shown(before, figure).c_str(),
                 Shown(after, figure).c_str(), limit);
}

std::string Comparison(const CorrectionResult& result) {
  const colour::VerificationFigures& before = result.before.figures;
  const colour::VerificationFigures& after = result.after.figures;
  const colour::Thresholds& t = result.after.request.thresholds;
  std::string text = FormatC("correction of %s: %d patches measured for it\n",
                             result.MemoryName().c_str(), static_cast<int>(result.readings.size()));
  text += "ΔE2000             before   after   at most\n";
  text += FigureLine("greys", "average", &colour::Verdict::average, before.greys, after.greys,
                     t.greyAverage);
  text += FigureLine("", "maximum", &colour::Verdict::maximum, before.greys, after.greys,
                     t.greyMaximum);
  text += FigureLine("colours", "average", &colour::Verdict::average, before.colours,
                     after.colours, t.colourAverage);
  text += FigureLine("", "maximum", &colour::Verdict::maximum, before.colours, after.colours,
                     t.colourMaximum);
  std::string apart;
  for (const colour::PatchFigures* patch : result.OutOfReach())
    apart += FormatC("%s %s %.2f", apart.empty() ? "" : ",", patch->reading.name.c_str(),
                     patch->deltaE);
  if (!apart.empty()) text += "beyond the panel's reach (ΔE2000 after, not in the colours):" + apart + "\n";
  if (!result.lutSha256.empty()) text += "LUT SHA-256 " + result.lutSha256 + "\n";
  return text;
}

}  // namespace

std::string CorrectionSummary(const CorrectionResult& result) {
  std::string text;
  if (result.before.readings.empty()) return text;
  text += "before: " + result.MemoryName() + " through the identity LUT\n" +
          VerificationSummary(result.before);
  if (!result.after.readings.empty())
    text += "\nafter: " + result.MemoryName() + " through the correction\n" +
            VerificationSummary(result.after);
  return text + "\n" + Comparison(result);
}

}  // namespace velluma::cli
