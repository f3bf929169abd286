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

// Signal on 0 to 255 in steps of 51 (20 % each), luminance relative to the white; before a run
// (no result) the axes alone.
ChartData ToneCurveData(const VerificationResult* result) {
  ChartData data;
  data.x = FixedAxis("signal", 255, 51, 0);
  data.y = FixedAxis("relative luminance", 1, 0.2, 1);
  Series target = Line("target", kTargetColour, Qt::DashLine);
  Series measured = Markers("measured", kMeasuredColour, 7, Series::Marker::Circle);
  if (result && result->figures.whiteY > 0) {
    const colour::VerificationFigures& f = result->figures;
    for (int i = 0; i < kTargetCurvePoints; ++i) {
      const double signal = i / double(kTargetCurvePoints - 1);
      target.points.append({signal * 255, colour::TargetLuminance(result->request.target.curve,
                                                                  signal, f.whiteY, f.blackY) /
                                              f.whiteY});
    }
    for (const colour::PatchFigures& patch : f.patches)
      if (patch.reading.IsGrey())
        measured.points.append({double(patch.reading.r), patch.reading.Y / f.whiteY});
  }
  data.series = {std::move(target), std::move(measured)};
  return data;
}

// One bar per planned patch, labelled with its short name, green when it passes and red when not.
ChartData DeltaEData(const VerificationResult* result) {
  ChartData data;
  Series passing = Bars("pass", kPassColour);
  Series failing = Bars("fail", kFailColour);
  double largest = kMinDeltaEScale;
  const std::size_t planned = result ? result->planned.size() : 0;
  for (std::size_t i = 0; i < planned; ++i)
    data.x.labels.emplace_back(static_cast<double>(i), ShortName(result->planned[i]));
  if (result) {
    const auto& patches = result->figures.patches;
    for (std::size_t i = 0; i < patches.size() && i < planned; ++i) {
      (patches[i].passes ? passing : failing).points.append({double(i), patches[i].deltaE});
      largest = std::max(largest, patches[i].deltaE * 1.1);
    }
  }
  data.x.low = -0.5;
  data.x.high = std::max<double>(1, static_cast<double>(planned)) - 0.5;
  data.y = NiceAxis("ΔE2000", 0, largest, 5);
  data.series = {std::move(passing), std::move(failing)};
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

}  // namespace velluma
