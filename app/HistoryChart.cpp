#include "app/HistoryChart.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/ChartParts.h"
#include "platform/TextToNumber.h"

namespace velluma {

namespace {

QLineSeries* PointedLine(const QString& name, QColor colour) {
  QLineSeries* series = MakeLine(name, colour);
  series->setPointsVisible(true);
  return series;
}

// The figure as a number; none when the record lacks it or it is not one.
std::optional<double> FigureValue(const history::Record& record, const char* name) {
  const std::string* text = record.Figure(name);
  if (!text) return std::nullopt;
  try {
    const double value = StrToFloat(*text);
    if (std::isfinite(value)) return value;
  } catch (const std::exception&) {
    // A figure that is not a number (a record written by hand, say) is left out.
  }
  return std::nullopt;
}

// An axis from 0 to a little above the largest value, never lower than `least`.
void FitAxisFromZero(QValueAxis* axis, const QLineSeries* series, double least) {
  double top = least;
  for (const QPointF& point : series->points()) top = std::max(top, point.y() * 1.15);
  axis->setRange(0, top);
  axis->applyNiceNumbers();
}

// An axis around the values, so that a drift of a few percent shows.
void FitAxisAround(QValueAxis* axis, const QLineSeries* series, double fallbackTop) {
  if (series->count() == 0) {
    axis->setRange(0, fallbackTop);
    return axis->applyNiceNumbers();
  }
  double low = series->at(0).y(), high = low;
  for (const QPointF& point : series->points()) {
    low = std::min(low, point.y());
    high = std::max(high, point.y());
  }
  const double margin = std::max((high - low) * 0.25, high * 0.02 + 1e-9);
  axis->setRange(std::max(0.0, low - margin), high + margin);
  axis->applyNiceNumbers();
}

}  // namespace

HistoryChart::HistoryChart(QObject* parent) : QObject(parent) {
  auto* chart = new QChart;
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->legend()->setAlignment(Qt::AlignBottom);
  maxBright_ = PointedLine("AUTO MaxBright (cd/m²)", QColor(0x2a, 0x5d, 0xb0));
  greyDeltaE_ = PointedLine("verification: greys' average ΔE2000", QColor(0xc0, 0x50, 0x20));
  chart->addSeries(maxBright_);
  chart->addSeries(greyDeltaE_);

  timeAxis_ = new QDateTimeAxis;
  timeAxis_->setFormat("yyyy-MM-dd");
  timeAxis_->setTitleText("time (UTC)");
  brightAxis_ = new QValueAxis;
  brightAxis_->setTitleText("MaxBright (cd/m²)");
  deltaEAxis_ = new QValueAxis;
  deltaEAxis_->setTitleText("ΔE2000");
  chart->addAxis(timeAxis_, Qt::AlignBottom);
  chart->addAxis(brightAxis_, Qt::AlignLeft);
  chart->addAxis(deltaEAxis_, Qt::AlignRight);
  for (QLineSeries* series : {maxBright_, greyDeltaE_}) series->attachAxis(timeAxis_);
  maxBright_->attachAxis(brightAxis_);
  greyDeltaE_->attachAxis(deltaEAxis_);

  view_ = MakeChartView(chart);
  view_->setObjectName("HistoryChart");
}

void HistoryChart::Show(const std::vector<history::Record>& records) {
  QList<QPointF> bright, deltaE;
  qint64 first = 0, last = 0;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    const QDateTime time =
        QDateTime::fromString(QString::fromStdString(record->timeUtc), Qt::ISODate);
    if (!time.isValid()) continue;
    const auto at = static_cast<double>(time.toMSecsSinceEpoch());
    if (record->kind == history::Kind::Auto)
      if (const auto value = FigureValue(*record, "max_bright")) bright.append({at, *value});
    if (record->kind == history::Kind::Verification)
      if (const auto value = FigureValue(*record, "grey_de_average")) deltaE.append({at, *value});
    if (first == 0) first = time.toMSecsSinceEpoch();
    last = time.toMSecsSinceEpoch();
  }
  maxBright_->replace(bright);
  greyDeltaE_->replace(deltaE);
  constexpr qint64 kDay = 24LL * 3600 * 1000;
  if (first == 0) first = last = QDateTime::currentMSecsSinceEpoch();
  timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(first - kDay, Qt::UTC),
                      QDateTime::fromMSecsSinceEpoch(last + kDay, Qt::UTC));
  FitAxisAround(brightAxis_, maxBright_, 300);
  FitAxisFromZero(deltaEAxis_, greyDeltaE_, 2);
}

}  // namespace velluma
