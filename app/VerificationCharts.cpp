#include "app/VerificationCharts.h"

#include <algorithm>

#include "app/ChartView.h"
#include "colour/Cie1931Observer.h"
#include "colour/Target.h"

namespace velluma {

namespace {

using Series = ChartData::Series;

constexpr int kTargetCurvePoints = 256;
constexpr double kMinDeltaEScale = 3.0;
const QColor kPassColour(0x2e, 0x8b, 0x57);
const QColor kFailColour(0xc0, 0x39, 0x2b);
const QColor kTargetColour(0x55, 0x55, 0x55);
const QColor kMeasuredColour(0x1f, 0x5f, 0xbf);
const QColor kLocusColour(0x99, 0x99, 0x99);
const QColor kBeforeColour(0xa8, 0xa8, 0xa8);
const QColor kOutOfReachColour(0xe0, 0xa0, 0x30);
constexpr double kPairedBarWidth = 0.4;

ChartView* MakeView(const char* name) {
  auto* view = new ChartView;
  view->setObjectName(name);
  return view;
}

ChartData::Axis FixedAxis(const QString& title, double high, double step, int decimals) {
  ChartData::Axis axis;
  axis.title = title;
  axis.high = high;
  axis.step = step;
  axis.decimals = decimals;
  return axis;
}

Series Line(const QString& name, QColor colour, Qt::PenStyle style) {
  Series series;
  series.name = name;
  series.colour = colour;
  series.style = style;
  return series;
}

Series Markers(const QString& name, QColor colour, double size, Series::Marker marker) {
  Series series;
  series.name = name;
  series.kind = Series::Kind::Points;
  series.colour = colour;
  series.markerSize = size;
  series.marker = marker;
  return series;
}

Series Bars(const QString& name, QColor colour) {
  Series series;
  series.name = name;
  series.kind = Series::Kind::Bars;
  series.colour = colour;
  return series;
}

const colour::PatchFigures* Named(const colour::VerificationFigures& figures,
                                  const std::string& name) {
  for (const colour::PatchFigures& patch : figures.patches)
    if (patch.reading.name == name) return &patch;
  return nullptr;
}

QPointF PointOf(const colour::PatchReading& reading) {
  return {reading.x, reading.y};
}

// "W", "K", the grey's level, "R" ... "Y": short enough for 27 bars side by side.
QString ShortName(const colour::PatchReading& patch) {
  if (patch.name == "white") return "W";
  if (patch.name == "black") return "K";
  if (patch.IsGrey()) return QString::number(patch.r);
  return QString(QChar(patch.name.front())).toUpper();
}

// The greys of a run, each relative to the run's own white.
QList<QPointF> GreyPoints(const colour::VerificationFigures& f) {
  QList<QPointF> points;
  if (!(f.whiteY > 0)) return points;
  for (const colour::PatchFigures& patch : f.patches)
    if (patch.reading.IsGrey()) points.append({double(patch.reading.r), patch.reading.Y / f.whiteY});
  return points;
}

// Signal on 0 to 255 in steps of 51 (20 % each), luminance relative to the white; before a run
// (no result) the axes alone. With `before` (a correction's), its greys as well, in grey; the
// target is drawn from the latest run that has a white.
ChartData ToneCurveData(const VerificationResult* result,
                        const VerificationResult* before = nullptr) {
  ChartData data;
  data.x = FixedAxis("signal", 255, 51, 0);
  data.y = FixedAxis("relative luminance", 1, 0.2, 1);
  Series target = Line("target", kTargetColour, Qt::DashLine);
  Series earlier = Markers("before", kBeforeColour, 7, Series::Marker::Square);
  Series measured =
      Markers(before ? "after" : "measured", kMeasuredColour, 7, Series::Marker::Circle);
  const VerificationResult* white = result && result->figures.whiteY > 0 ? result
                                    : before && before->figures.whiteY > 0 ? before
                                                                           : nullptr;
  if (white) {
    const colour::VerificationFigures& f = white->figures;
    for (int i = 0; i < kTargetCurvePoints; ++i) {
      const double signal = i / double(kTargetCurvePoints - 1);
      target.points.append({signal * 255, colour::TargetLuminance(white->request.target.curve,
                                                                  signal, f.whiteY, f.blackY) /
                                              f.whiteY});
    }
    if (result) measured.points = GreyPoints(result->figures);
    if (before) earlier.points = GreyPoints(before->figures);
  }
  data.series = {std::move(target)};
  if (before) data.series.push_back(std::move(earlier));
  data.series.push_back(std::move(measured));
  return data;
}

// One bar per planned patch, labelled with its short name, green when it passes and red when not
// (orange for a colour beyond the display's reach). With `before` (a correction's), each patch's
// bar before the correction in grey on its left, the one after on its right.
ChartData DeltaEData(const VerificationResult* result, const VerificationResult* before = nullptr) {
  ChartData data;
  Series earlier = Bars("before", kBeforeColour);
  Series passing = Bars(before ? "after, pass" : "pass", kPassColour);
  Series failing = Bars(before ? "after, fail" : "fail", kFailColour);
  Series beyond = Bars("beyond reach", kOutOfReachColour);
  double largest = kMinDeltaEScale;
  const std::size_t planned = result ? result->planned.size() : 0;
  for (std::size_t i = 0; i < planned; ++i)
    data.x.labels.emplace_back(static_cast<double>(i), ShortName(result->planned[i]));
  const double shift = before ? kPairedBarWidth / 2 : 0;
  const auto add = [&](const VerificationResult& run, double offset, Series* bars) {
    const auto& patches = run.figures.patches;
    for (std::size_t i = 0; i < patches.size() && i < planned; ++i) {
      Series& series = bars                           ? *bars
                       : patches[i].reading.outOfReach ? beyond
                       : patches[i].passes             ? passing
                                                       : failing;
      series.points.append({double(i) + offset, patches[i].deltaE});
      largest = std::max(largest, patches[i].deltaE * 1.1);
    }
  };
  if (before) add(*before, -shift, &earlier);
  if (result) add(*result, shift, nullptr);
  data.x.low = -0.5;
  data.x.high = std::max<double>(1, static_cast<double>(planned)) - 0.5;
  data.y = NiceAxis("ΔE2000", 0, largest, 5);
  if (before) data.barWidth = kPairedBarWidth;
  data.series = {std::move(passing), std::move(failing)};
  if (before) data.series.insert(data.series.begin(), std::move(earlier));
  if (!beyond.points.isEmpty()) data.series.push_back(std::move(beyond));
  return data;
}

// The xy diagram at one scale on both axes, the spectral locus drawn closed and left out of the
// legend; before a run (no result) the locus alone.
ChartData ChromaticityData(const VerificationResult* result) {
  ChartData data;
  data.x = FixedAxis("x", 0.8, 0.1, 1);
  data.y = FixedAxis("y", 0.9, 0.1, 1);
  data.equalScale = true;
  Series locus = Line("spectral locus", kLocusColour, Qt::SolidLine);
  locus.inLegend = false;
  const std::vector<colour::Chromaticity> outline = colour::SpectralLocus();
  for (const colour::Chromaticity& point : outline) locus.points.append({point.x, point.y});
  if (!outline.empty()) locus.points.append({outline.front().x, outline.front().y});
  Series targetGamut = Line("target gamut", kTargetColour, Qt::DashLine);
  Series measuredGamut = Line("measured gamut", kMeasuredColour, Qt::SolidLine);
  Series measured = Markers("measured", kMeasuredColour, 8, Series::Marker::Circle);
  Series targetWhite = Markers("target white", kTargetColour, 14, Series::Marker::Star);
  Series measuredWhite = Markers("measured white", kFailColour, 7, Series::Marker::Square);
  if (result) {
    const colour::Target& target = result->request.target;
    const colour::Gamut& gamut = target.Primaries();
    targetGamut.points = {{gamut.red.x, gamut.red.y},
                          {gamut.green.x, gamut.green.y},
                          {gamut.blue.x, gamut.blue.y},
                          {gamut.red.x, gamut.red.y}};
    targetWhite.points = {{target.white.x, target.white.y}};
    const colour::VerificationFigures& f = result->figures;
    for (const colour::PatchFigures& patch : f.patches)
      if (!patch.reading.IsGrey()) measured.points.append(PointOf(patch.reading));
    const auto* red = Named(f, "red");
    const auto* green = Named(f, "green");
    const auto* blue = Named(f, "blue");
    if (red && green && blue) {
      measuredGamut.points = {PointOf(red->reading), PointOf(green->reading),
                              PointOf(blue->reading), PointOf(red->reading)};
    }
    if (const auto* white = Named(f, "white")) measuredWhite.points.append(PointOf(white->reading));
  }
  data.series = {std::move(locus),    std::move(targetGamut), std::move(measuredGamut),
                 std::move(measured), std::move(targetWhite), std::move(measuredWhite)};
  return data;
}

}  // namespace

VerificationCharts::VerificationCharts(QObject* parent)
    : QObject(parent),
      toneView_(MakeView("toneCurveChart")),
      deltaEView_(MakeView("deltaEChart")),
      xyView_(MakeView("chromaticityChart")) {
  toneView_->SetData(ToneCurveData(nullptr));
  deltaEView_->SetData(DeltaEData(nullptr));
  xyView_->SetData(ChromaticityData(nullptr));
}

void VerificationCharts::Show(const VerificationResult& result) {
  toneView_->SetData(ToneCurveData(&result));
  deltaEView_->SetData(DeltaEData(&result));
  xyView_->SetData(ChromaticityData(&result));
}

void VerificationCharts::ShowCorrection(const CorrectionResult& result) {
  toneView_->SetData(ToneCurveData(&result.after, &result.before));
  deltaEView_->SetData(DeltaEData(&result.after, &result.before));
  const bool afterBegun = !result.after.readings.empty();
  xyView_->SetData(ChromaticityData(afterBegun ? &result.after : &result.before));
}

}  // namespace velluma
