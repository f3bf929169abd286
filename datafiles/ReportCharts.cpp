#include "datafiles/ReportCharts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "colour/Cie1931Observer.h"
#include "datafiles/SvgWriter.h"
#include "platform/CLocale.h"

namespace velluma {
namespace {

using Point = SvgWriter::Point;
using Anchor = SvgWriter::Anchor;

constexpr int kDriveMax = 255;
constexpr int kCurveSamples = 64;      // segments of a drawn target curve
constexpr double kAxisGap = 6;         // from an axis to its tick labels
constexpr double kMarkerRadius = 3.5;  // measured points

struct Range {
  double low, high;
};

// A step of 1, 2 or 5 times a power of ten that divides `span` into about `ticks` steps.
double NiceStep(double span, int ticks) {
  const double raw = span / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

// The top of a value axis from 0: the largest value with a little room, rounded up to a step;
// 1 when there is nothing above 0 to show.
double AxisTop(double largest) {
  if (!(largest > 0) || !std::isfinite(largest)) return 1;
  const double step = NiceStep(largest * 1.05, 5);
  return std::ceil(largest * 1.05 / step) * step;
}

// A plotting area: data coordinates (x to the right, y upwards) in a rectangle of the drawing.
class PlotArea {
 public:
  PlotArea(SvgWriter& svg, Point topLeft, double width, double height, Range x, Range y)
      : svg_(svg), topLeft_(topLeft), width_(width), height_(height), x_(x), y_(y) {}

  Point At(double x, double y) const {
    return {topLeft_.x + (x - x_.low) / (x_.high - x_.low) * width_,
            topLeft_.y + height_ - (y - y_.low) / (y_.high - y_.low) * height_};
  }
  double Left() const { return topLeft_.x; }
  double Right() const { return topLeft_.x + width_; }
  double Top() const { return topLeft_.y; }
  double Bottom() const { return topLeft_.y + height_; }

  // Grid lines with their labels at every multiple of `step` (format: printf's, C locale).
  void XGrid(double step, const char* format) {
    for (int i = 0; x_.low + i * step <= x_.high + step * 1e-9; ++i) {
      const double x = x_.low + i * step;
      svg_.Line(At(x, y_.low), At(x, y_.high), "grid");
      svg_.Text({At(x, y_.low).x, Bottom() + kAxisGap + 10}, FormatC(format, x), "tick",
                Anchor::Middle);
    }
  }
  void YGrid(double step, const char* format) {
    for (int i = 0; y_.low + i * step <= y_.high + step * 1e-9; ++i) {
      const double y = y_.low + i * step;
      svg_.Line(At(x_.low, y), At(x_.high, y), "grid");
      svg_.Text({Left() - kAxisGap, At(x_.low, y).y + 4}, FormatC(format, y), "tick", Anchor::End);
    }
  }
  void Frame() { svg_.Rect(topLeft_, width_, height_, "frame"); }
  void Titles(std::string_view x, std::string_view y) {
    svg_.Text({(Left() + Right()) / 2, Bottom() + kAxisGap + 30}, x, "axis-title", Anchor::Middle);
    svg_.Text({Left() - 42, (Top() + Bottom()) / 2}, y, "axis-title", Anchor::Middle, -90);
  }
  // A line of the legend: a sample of the class's stroke and its text, `row` lines down.
  void LegendLine(int row, std::string_view cssClass, std::string_view text) {
    const double y = Top() + 16 + 16 * row;
    svg_.Line({Left() + 10, y - 4}, {Left() + 34, y - 4}, cssClass);
    svg_.Text({Left() + 40, y}, text, "legend");
  }

 private:
  SvgWriter& svg_;
  Point topLeft_;
  double width_, height_;
  Range x_, y_;
};

// The grey patches in order of drive, with a luminance to show.
std::vector<const colour::PatchFigures*> GreysByDrive(const colour::VerificationFigures& f) {
  std::vector<const colour::PatchFigures*> greys;
  for (const colour::PatchFigures& p : f.patches)
    if (p.reading.IsGrey() && std::isfinite(p.reading.Y)) greys.push_back(&p);
  std::stable_sort(greys.begin(), greys.end(),
                   [](auto* a, auto* b) { return a->reading.r < b->reading.r; });
  return greys;
}

// The first patch of a drive, when measured.
const colour::PatchFigures* PatchOfDrive(const colour::VerificationFigures& f, int r, int g,
                                         int b) {
  for (const colour::PatchFigures& p : f.patches)
    if (p.reading.r == r && p.reading.g == g && p.reading.b == b) return &p;
  return nullptr;
}

bool FiniteChromaticity(const colour::PatchReading& p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

// The greys of `f` as a line with a marker at each, in the classes `line` and `points`.
std::vector<Point> DrawGreys(SvgWriter& svg, const PlotArea& plot,
                             const std::vector<const colour::PatchFigures*>& greys,
                             const char* line, const char* points) {
  std::vector<Point> drawn;
  for (auto* p : greys) drawn.push_back(plot.At(p->reading.r / double{kDriveMax}, p->reading.Y));
  svg.Polyline(drawn, line);
  for (const Point& at : drawn) svg.Circle(at, kMarkerRadius, points);
  return drawn;
}

}  // namespace

std::string ToneCurveChart(const colour::VerificationFigures& f, const colour::Target& target,
                           const colour::VerificationFigures* before) {
  SvgWriter svg(720, 400, "Tone curve: measured luminance over the target");
  const auto greys = GreysByDrive(f);
  const auto greysBefore = before ? GreysByDrive(*before) : decltype(greys){};
  double largest = f.whiteY;
  for (auto* p : greys) largest = std::max(largest, p->reading.Y);
  for (auto* p : greysBefore) largest = std::max(largest, p->reading.Y);
  const double top = AxisTop(largest);
  PlotArea plot(svg, {70, 15}, 620, 320, {0, 1}, {0, top});
  plot.XGrid(0.1, "%.1f");
  plot.YGrid(NiceStep(top, 5), "%g");
  plot.Frame();

  std::vector<Point> curve;
  for (int i = 0; i <= kCurveSamples; ++i) {
    const double v = static_cast<double>(i) / kCurveSamples;
    curve.push_back(plot.At(v, colour::TargetLuminance(target.curve, v, f.whiteY, f.blackY)));
  }
  svg.Polyline(curve, "target");
  if (before) DrawGreys(svg, plot, greysBefore, "before", "before-point");
  DrawGreys(svg, plot, greys, "measured", "measured-point");

  plot.LegendLine(0, "target", "target (" + colour::ToneCurveName(target.curve) + ")");
  if (before) {
    plot.LegendLine(1, "before", "greys before the correction");
    plot.LegendLine(2, "measured", "greys after the correction");
  } else {
    plot.LegendLine(1, "measured", "measured greys");
  }
  plot.Titles("signal (grey level / 255)", "luminance (cd/m²)");
  return svg.Finish();
}

std::string DeltaEChart(const colour::VerificationFigures& f, const colour::Thresholds& thresholds,
                        const colour::VerificationFigures* before) {
  SvgWriter svg(720, 420, "ΔE2000 per patch");
  double largest = std::max(thresholds.greyMaximum, thresholds.colourMaximum);
  for (const auto* figures : {&f, before})
    for (const colour::PatchFigures& p : figures ? figures->patches : f.patches)
      if (std::isfinite(p.deltaE)) largest = std::max(largest, p.deltaE);
  const double top = AxisTop(largest);
  const auto& named = before && before->patches.size() > f.patches.size() ? *before : f;
  const double count = std::max<double>(1, named.patches.size());
  PlotArea plot(svg, {70, 15}, 620, 300, {0, count}, {0, top});
  plot.YGrid(NiceStep(top, 5), "%g");
  plot.Frame();

  const double slot = plot.At(1, 0).x - plot.At(0, 0).x;
  // One bar in a slot, or two side by side: before (grey) on the left, after on the right.
  const auto bar = [&](std::size_t i, const colour::PatchFigures& p, double from, double width,
                       const char* cssClass) {
    const double left = plot.At(i, 0).x + slot * from;
    if (std::isfinite(p.deltaE)) {
      const Point tip = plot.At(i, std::clamp(p.deltaE, 0.0, top));
      svg.Rect({left, tip.y}, slot * width, plot.Bottom() - tip.y, cssClass);
    } else {  // nothing to compare: no bar, a mark that says so
      svg.Text({left + slot * width / 2, plot.Bottom() - 4}, "?", "fail-mark", Anchor::Middle);
    }
  };
  for (std::size_t i = 0; i < named.patches.size(); ++i) {
    const bool paired = before != nullptr;
    if (paired && i < before->patches.size()) bar(i, before->patches[i], 0.1, 0.4, "before");
    if (i < f.patches.size()) {
      const colour::PatchFigures& p = f.patches[i];
      bar(i, p, paired ? 0.5 : 0.15, paired ? 0.4 : 0.7,
          p.reading.outOfReach ? "out-of-reach" : p.passes ? "pass" : "fail");
    }
    svg.Text({plot.At(i + 0.5, 0).x + 4, plot.Bottom() + kAxisGap + 4}, named.patches[i].reading.name,
             "tick", Anchor::End, -50);
  }
  const auto threshold = [&](double value, const char* cssClass, const std::string& label,
                             bool right) {
    const Point from = plot.At(0, value), to = plot.At(count, value);
    svg.Line(from, to, cssClass);
    svg.Text({right ? to.x - 4 : from.x + 4, from.y - 4}, label, "threshold-label",
             right ? Anchor::End : Anchor::Start);
  };
  threshold(thresholds.greyMaximum, "threshold-grey",
            "grey maximum " + FormatC("%.2f", thresholds.greyMaximum), false);
  threshold(thresholds.colourMaximum, "threshold-colour",
            "colour maximum " + FormatC("%.2f", thresholds.colourMaximum), true);
  if (before) {
    const double y = plot.Top() + 28;
    svg.Rect({plot.Left() + 10, y - 9}, 10, 10, "before");
    svg.Text({plot.Left() + 26, y}, "before the correction", "legend");
    svg.Rect({plot.Left() + 180, y - 9}, 10, 10, "pass");
    svg.Text({plot.Left() + 196, y}, "after", "legend");
  }
  svg.Text({plot.Left() - 42, (plot.Top() + plot.Bottom()) / 2}, "ΔE2000", "axis-title",
           Anchor::Middle, -90);
  return svg.Finish();
}

std::string ChromaticityChart(const colour::VerificationFigures& f, const colour::Target& target) {
  constexpr double kScale = 500;  // pixels per unit of x and of y: the diagram keeps its shape
  SvgWriter svg(480, 530, "CIE 1931 xy chromaticity diagram");
  PlotArea plot(svg, {60, 15}, 0.8 * kScale, 0.9 * kScale, {0, 0.8}, {0, 0.9});
  plot.XGrid(0.1, "%.1f");
  plot.YGrid(0.1, "%.1f");
  plot.Frame();

  // The horseshoe, closed by the line of purples, with a few wavelengths marked.
  const std::vector<colour::Chromaticity> locus = colour::SpectralLocus();
  std::vector<Point> outline;
  for (const colour::Chromaticity& c : locus) outline.push_back(plot.At(c.x, c.y));
  svg.Polygon(outline, "locus");
  for (int nm : {460, 480, 490, 500, 520, 540, 560, 580, 600, 620}) {
    // To the right of each point: outside the horseshoe along its top and right, inside along
    // its blue-green side, clear of the y axis' labels.
    const colour::Chromaticity& c =
        locus[(nm - colour::kSpectralLocusFirstNm) / colour::kObserverStepNm];
    const Point at = plot.At(c.x, c.y);
    svg.Text({at.x + 6, at.y + 4}, std::to_string(nm), "wavelength");
  }

  const colour::Gamut& gamut = target.Primaries();
  svg.Polygon({plot.At(gamut.red.x, gamut.red.y), plot.At(gamut.green.x, gamut.green.y),
               plot.At(gamut.blue.x, gamut.blue.y)},
              "gamut");
  const auto* red = PatchOfDrive(f, kDriveMax, 0, 0);
  const auto* green = PatchOfDrive(f, 0, kDriveMax, 0);
  const auto* blue = PatchOfDrive(f, 0, 0, kDriveMax);
  if (red && green && blue && FiniteChromaticity(red->reading) &&
      FiniteChromaticity(green->reading) && FiniteChromaticity(blue->reading)) {
    svg.Polygon(
        {plot.At(red->reading.x, red->reading.y), plot.At(green->reading.x, green->reading.y),
         plot.At(blue->reading.x, blue->reading.y)},
        "measured-gamut");
  }
  for (const colour::PatchFigures& p : f.patches) {
    if (p.reading.IsGrey() || !FiniteChromaticity(p.reading)) continue;
    const Point at = plot.At(p.reading.x, p.reading.y);
    svg.Circle(at, kMarkerRadius, "measured-point");
    svg.Text({at.x + 6, at.y - 5}, p.reading.name, "point-label");
  }

  const Point aim = plot.At(target.white.x, target.white.y);
  svg.Line({aim.x - 6, aim.y}, {aim.x + 6, aim.y}, "target-white");
  svg.Line({aim.x, aim.y - 6}, {aim.x, aim.y + 6}, "target-white");
  if (const auto* white = PatchOfDrive(f, kDriveMax, kDriveMax, kDriveMax);
      white && FiniteChromaticity(white->reading)) {
    svg.Circle(plot.At(white->reading.x, white->reading.y), kMarkerRadius, "white-point");
  }

  const double legendX = plot.Right() - 150;
  svg.Line({legendX, plot.Top() + 12}, {legendX + 24, plot.Top() + 12}, "gamut");
  svg.Text({legendX + 30, plot.Top() + 16}, std::string("target ") + std::string(gamut.name),
           "legend");
  svg.Line({legendX, plot.Top() + 28}, {legendX + 24, plot.Top() + 28}, "measured-gamut");
  svg.Text({legendX + 30, plot.Top() + 32}, "measured primaries", "legend");
  svg.Line({legendX + 12, plot.Top() + 38}, {legendX + 12, plot.Top() + 50}, "target-white");
  svg.Line({legendX + 6, plot.Top() + 44}, {legendX + 18, plot.Top() + 44}, "target-white");
  svg.Text({legendX + 30, plot.Top() + 48}, "target white", "legend");
  svg.Circle({legendX + 12, plot.Top() + 60}, kMarkerRadius, "white-point");
  svg.Text({legendX + 30, plot.Top() + 64}, "measured white", "legend");
  plot.Titles("x", "y");
  return svg.Finish();
}

}  // namespace velluma
