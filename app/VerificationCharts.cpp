#include "app/VerificationCharts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

#include "app/ChartParts.h"
#include "colour/Cie1931Observer.h"
#include "colour/Target.h"

namespace velluma {

namespace {

constexpr int kTargetCurvePoints = 256;
constexpr double kMinDeltaEScale = 3.0;
const QColor kPassColour(0x2e, 0x8b, 0x57);
const QColor kFailColour(0xc0, 0x39, 0x2b);
const QColor kTargetColour(0x55, 0x55, 0x55);
const QColor kMeasuredColour(0x1f, 0x5f, 0xbf);

QChartView* MakeView(QChart* chart, const char* name) {
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->legend()->setAlignment(Qt::AlignBottom);
  QChartView* view = MakeChartView(chart);
  view->setObjectName(name);
  return view;
}

QValueAxis* AddAxis(QChart* chart, Qt::Alignment side, double low, double high,
                    const QString& title, const char* format, int ticks) {
  auto* axis = new QValueAxis(chart);
  axis->setRange(low, high);
  axis->setTickCount(ticks);
  axis->setTitleText(title);
  axis->setLabelFormat(format);
  chart->addAxis(axis, side);
  return axis;
}

void Attach(QAbstractSeries* series, QChart* chart) {
  chart->addSeries(series);
  for (QAbstractAxis* axis : chart->axes()) series->attachAxis(axis);
}

QScatterSeries* MakeScatter(const QString& name, QColor colour, double size,
                            QScatterSeries::MarkerShape shape) {
  auto* series = new QScatterSeries;
  series->setName(name);
  series->setColor(colour);
  series->setBorderColor(colour.darker());
  series->setMarkerSize(size);
  series->setMarkerShape(shape);
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

}  // namespace

VerificationCharts::VerificationCharts(QObject* parent) : QObject(parent) {
  BuildToneCurve();
  BuildDeltaE();
  BuildChromaticity();
}

void VerificationCharts::BuildToneCurve() {
  auto* chart = new QChart;
  AddAxis(chart, Qt::AlignBottom, 0, 255, "signal", "%d", 6);  // steps of 51: 20 % each
  AddAxis(chart, Qt::AlignLeft, 0, 1, "relative luminance", "%.1f", 6);
  targetCurve_ = MakeLine("target", kTargetColour, Qt::DashLine);
  measuredCurve_ = MakeScatter("measured", kMeasuredColour, 7, QScatterSeries::MarkerShapeCircle);
  Attach(targetCurve_, chart);
  Attach(measuredCurve_, chart);
  toneView_ = MakeView(chart, "toneCurveChart");
}

void VerificationCharts::BuildDeltaE() {
  auto* chart = new QChart;
  auto* bars = new QStackedBarSeries(chart);
  passingBars_ = new QBarSet("pass", bars);
  failingBars_ = new QBarSet("fail", bars);
  passingBars_->setColor(kPassColour);
  failingBars_->setColor(kFailColour);
  bars->append(passingBars_);
  bars->append(failingBars_);
  bars->setBarWidth(0.8);
  chart->addSeries(bars);
  patchAxis_ = new QBarCategoryAxis(chart);
  QFont small = patchAxis_->labelsFont();
  small.setPixelSize(9);
  patchAxis_->setLabelsFont(small);
  patchAxis_->setTruncateLabels(false);
  chart->addAxis(patchAxis_, Qt::AlignBottom);
  deltaEAxis_ = AddAxis(chart, Qt::AlignLeft, 0, kMinDeltaEScale, "ΔE2000", "%.1f", 4);
  bars->attachAxis(patchAxis_);
  bars->attachAxis(deltaEAxis_);
  deltaEView_ = MakeView(chart, "deltaEChart");
}

void VerificationCharts::BuildChromaticity() {
  auto* chart = new QChart;
  AddAxis(chart, Qt::AlignBottom, 0, 0.8, "x", "%.1f", 9);
  AddAxis(chart, Qt::AlignLeft, 0, 0.9, "y", "%.1f", 10);
  auto* locus = MakeLine("spectral locus", QColor(0x99, 0x99, 0x99), Qt::SolidLine);
  const std::vector<colour::Chromaticity> outline = colour::SpectralLocus();
  for (const colour::Chromaticity& point : outline) locus->append(point.x, point.y);
  if (!outline.empty()) locus->append(outline.front().x, outline.front().y);
  targetGamut_ = MakeLine("target gamut", kTargetColour, Qt::DashLine);
  measuredGamut_ = MakeLine("measured gamut", kMeasuredColour, Qt::SolidLine);
  measuredColours_ = MakeScatter("measured", kMeasuredColour, 8, QScatterSeries::MarkerShapeCircle);
  targetWhite_ = MakeScatter("target white", kTargetColour, 14, QScatterSeries::MarkerShapeStar);
  measuredWhite_ =
      MakeScatter("measured white", kFailColour, 7, QScatterSeries::MarkerShapeRectangle);
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
           locus, targetGamut_, measuredGamut_, measuredColours_, targetWhite_, measuredWhite_})
    Attach(series, chart);
  chart->legend()->markers(locus).front()->setVisible(false);
  xyView_ = MakeView(chart, "chromaticityChart");
}

void VerificationCharts::Show(const VerificationResult& result) {
  ShowToneCurve(result);
  ShowDeltaE(result);
  ShowChromaticity(result);
}

void VerificationCharts::ShowToneCurve(const VerificationResult& result) {
  const colour::VerificationFigures& f = result.figures;
  QList<QPointF> target, measured;
  if (f.whiteY > 0) {
    for (int i = 0; i < kTargetCurvePoints; ++i) {
      const double signal = i / double(kTargetCurvePoints - 1);
      target.append({signal * 255, colour::TargetLuminance(result.request.target.curve, signal,
                                                           f.whiteY, f.blackY) /
                                       f.whiteY});
    }
    for (const colour::PatchFigures& patch : f.patches)
      if (patch.reading.IsGrey())
        measured.append({double(patch.reading.r), patch.reading.Y / f.whiteY});
  }
  targetCurve_->replace(target);
  measuredCurve_->replace(measured);
}

void VerificationCharts::ShowDeltaE(const VerificationResult& result) {
  QStringList names;
  for (const colour::PatchReading& patch : result.planned) names.append(ShortName(patch));
  if (patchAxis_->categories() != names) {
    patchAxis_->clear();
    patchAxis_->append(names);
  }
  QList<qreal> passing(names.size(), 0.0), failing(names.size(), 0.0);
  double largest = kMinDeltaEScale;
  const auto& patches = result.figures.patches;
  for (qsizetype i = 0; i < qsizetype(patches.size()) && i < names.size(); ++i) {
    (patches[i].passes ? passing : failing)[i] = patches[i].deltaE;
    largest = std::max(largest, patches[i].deltaE * 1.1);
  }
  passingBars_->remove(0, passingBars_->count());
  failingBars_->remove(0, failingBars_->count());
  passingBars_->append(passing);
  failingBars_->append(failing);
  deltaEAxis_->setRange(0, largest);
  deltaEAxis_->applyNiceNumbers();
}

void VerificationCharts::ShowChromaticity(const VerificationResult& result) {
  const colour::Target& target = result.request.target;
  const colour::Gamut& gamut = target.Primaries();
  targetGamut_->replace({{gamut.red.x, gamut.red.y},
                         {gamut.green.x, gamut.green.y},
                         {gamut.blue.x, gamut.blue.y},
                         {gamut.red.x, gamut.red.y}});
  targetWhite_->replace({{target.white.x, target.white.y}});

  const colour::VerificationFigures& f = result.figures;
  QList<QPointF> colours, triangle, white;
  for (const colour::PatchFigures& patch : f.patches)
    if (!patch.reading.IsGrey()) colours.append(PointOf(patch.reading));
  const auto* red = Named(f, "red");
  const auto* green = Named(f, "green");
  const auto* blue = Named(f, "blue");
  if (red && green && blue) {
    triangle = {PointOf(red->reading), PointOf(green->reading), PointOf(blue->reading),
                PointOf(red->reading)};
  }
  if (const auto* measured = Named(f, "white")) white.append(PointOf(measured->reading));
  measuredColours_->replace(colours);
  measuredGamut_->replace(triangle);
  measuredWhite_->replace(white);
}

}  // namespace velluma
