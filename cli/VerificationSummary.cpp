#include "cli/VerificationSummary.h"

#include "colour/Target.h"
#include "platform/CLocale.h"

namespace velluma::cli {

namespace {

const char* PassText(bool passes) {
  return passes ? "pass" : "FAIL";
}

std::string PatchLine(const colour::PatchFigures& patch) {
  const colour::PatchReading& r = patch.reading;
  std::string gamma = patch.gamma ? FormatC("%5.2f", *patch.gamma) : std::string(5, ' ');
  // A colour beyond the display's reach has no verdict of its own.
  const char* verdict = r.outOfReach ? "out of reach" : PassText(patch.passes);
  return FormatC("%-12s %3d %3d %3d  %6.4f %6.4f %9.3f  %6.2f  %s  %s\n", r.name.c_str(), r.r, r.g,
                 r.b, r.x, r.y, r.Y, patch.deltaE, gamma.c_str(), verdict);
}

// A kind's figures and verdict; a kind measured in part has its figures and how far it came in
// place of a verdict, and a kind not measured at all has neither.
std::string VerdictLine(const char* kind, const colour::Verdict& verdict, double average,
                        double maximum) {
  if (!verdict.Measured()) return FormatC("%-8s not measured\n", kind);
  const std::string judged = verdict.Complete()
                                 ? std::string(PassText(verdict.passes))
                                 : FormatC("%d of %d measured", verdict.count, verdict.planned);
  return FormatC("%-8s ΔE2000 average %5.2f (at most %.2f), maximum %5.2f (at most %.2f)  %s\n",
                 kind, verdict.average, average, verdict.maximum, maximum, judged.c_str());
}

std::string TargetLine(const VerificationRequest& request) {
  return "target   white " + WhitePointText(request.target.white) + ", tone curve " +
         colour::ToneCurveName(request.target.curve) + ", gamut " +
         std::string(request.target.Primaries().name) + "\n";
}

}  // namespace

std::string VerificationSummary(const VerificationResult& result) {
  const colour::VerificationFigures& f = result.figures;
  const colour::Thresholds& t = result.request.thresholds;
  std::string text = TargetLine(result.request);
  text += "patch          R   G   B       x      y          Y  ΔE2000  gamma\n";
  for (const colour::PatchFigures& patch : f.patches) text += PatchLine(patch);
  if (f.patches.empty()) return text;
  text += VerdictLine("greys", f.greys, t.greyAverage, t.greyMaximum);
  text += VerdictLine("colours", f.colours, t.colourAverage, t.colourMaximum);
  text +=
      FormatC("white    x %.4f y %.4f, %.0f K, Δuv %+.4f, %.2f cd/m²\n", f.whiteChromaticity.x,
              f.whiteChromaticity.y, f.whiteTemperature.kelvin, f.whiteTemperature.duv, f.whiteY);
  text += f.contrast > 0 ? FormatC("contrast %.0f:1\n", f.contrast) : "contrast -\n";
  const bool finished = result.outcome == VerificationResult::Outcome::Finished;
  text += FormatC("verdict  %s\n", !finished    ? "none: not every patch was measured"
                                   : f.Passes() ? "PASS"
                                                : "FAIL");
  return text;
}

}  // namespace velluma::cli
