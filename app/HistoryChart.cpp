#include "app/HistoryChart.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/ChartView.h"
#include "platform/TextToNumber.h"

namespace velluma {

namespace {

constexpr qint64 kDay = 24LL * 3600 * 1000;  // milliseconds
constexpr int kMostDates = 8;                // labels under the time axis

ChartData::Series PointedLine(const QString& name, QColor colour) {
  ChartData::Series series;
  series.name = name;
  series.colour = colour;
  series.pointsMarked = true;
  series.markerSize = 6;
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
ChartData::Axis AxisFromZero(const QString& title, const QList<QPointF>& points, double least) {
  double top = least;
  for (const QPointF& point : points) top = std::max(top, point.y() * 1.15);
  return NiceAxis(title, 0, top);
}

// An axis around the values, so that a drift of a few percent shows.
ChartData::Axis AxisAround(const QString& title, const QList<QPointF>& points,
                           double fallbackTop) {
  if (points.isEmpty()) return NiceAxis(title, 0, fallbackTop);
  double low = points.front().y(), high = low;
  for (const QPointF& point : points) {
    low = std::min(low, point.y());
    high = std::max(high, point.y());
  }
  const double margin = std::max((high - low) * 0.25, high * 0.02 + 1e-9);
  return NiceAxis(title, std::max(0.0, low - margin), high + margin);
}

// Dates from a day before the first run to a day after the last, labelled at midnights UTC a
// whole number of days apart.
ChartData::Axis TimeAxis(qint64 first, qint64 last) {
  ChartData::Axis axis;
  axis.title = "time (UTC)";
  axis.low = static_cast<double>(first - kDay);
  axis.high = static_cast<double>(last + kDay);
  const qint64 days = (last - first) / kDay + 2;
  qint64 step = 1;
  for (const qint64 candidate : {1, 2, 7, 14, 28, 56, 91, 182, 364}) {
    step = candidate;
    if (days / candidate < kMostDates) break;
  }
  for (qint64 day = (first - kDay) / kDay + 1; day * kDay <= last + kDay; day += step) {
    const QDateTime midnight = QDateTime::fromMSecsSinceEpoch(day * kDay, Qt::UTC);
    axis.labels.emplace_back(static_cast<double>(day * kDay), midnight.toString("yyyy-MM-dd"));
  }
  return axis;
}

}  // namespace

HistoryChart::HistoryChart(QObject* parent) : QObject(parent), view_(new ChartView) {
  view_->setObjectName("HistoryChart");
  Show({});
}

void HistoryChart::Show(const std::vector<history::Record>& records) {
  ChartData::Series bright =
      PointedLine("AUTO MaxBright (cd/m²)", QColor(0x2a, 0x5d, 0xb0));
  ChartData::Series deltaE =
      PointedLine("verification: greys' average ΔE2000", QColor(0xc0, 0x50, 0x20));
  deltaE.onRightAxis = true;
  qint64 first = 0, last = 0;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    const QDateTime time =
        QDateTime::fromString(QString::fromStdString(record->timeUtc), Qt::ISODate);
    if (!time.isValid()) continue;
    const auto at = static_cast<double>(time.toMSecsSinceEpoch());
    if (record->kind == history::Kind::Auto)
      if (const auto value = FigureValue(*record, "max_bright")) bright.points.append({at, *value});
    if (record->kind == history::Kind::Verification)
      if (const auto value = FigureValue(*record, "grey_de_average"))
        deltaE.points.append({at, *value});
    if (first == 0) first = time.toMSecsSinceEpoch();
    last = time.toMSecsSinceEpoch();
  }
  if (first == 0) first = last = QDateTime::currentMSecsSinceEpoch();
  ChartData data;
  data.x = TimeAxis(std::min(first, last), std::max(first, last));
  data.y = AxisAround("MaxBright (cd/m²)", bright.points, 300);
  data.rightAxis = AxisFromZero("ΔE2000", deltaE.points, 2);
  data.series = {std::move(bright), std::move(deltaE)};
  view_->SetData(std::move(data));
}

}  // namespace velluma
