#include "app/ChartView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace velluma {

namespace {

constexpr double kMargin = 8;       // pixels round the whole chart
constexpr double kTickLength = 4;   // pixels outside the plot
constexpr double kGap = 4;          // pixels between a label and what it labels
constexpr double kSwatchWidth = 20;  // of a legend entry's sample line
constexpr double kLegendSpacing = 16;
constexpr double kLineWidth = 1.5;
constexpr int kMostTicks = 400;  // beyond this an axis's step is taken for a mistake

double Span(const ChartData::Axis& axis) {
  const double span = axis.high - axis.low;
  return std::isfinite(span) && span != 0 ? span : 1.0;
}

// The values of an axis's ticks with their labels: its own labels, or every step from low to high.
std::vector<std::pair<double, QString>> Ticks(const ChartData::Axis& axis) {
  if (!axis.labels.empty()) return axis.labels;
  std::vector<std::pair<double, QString>> ticks;
  const auto number = [&](double v) { return QString::number(v, 'f', axis.decimals); };
  if (!(axis.step > 0) || (axis.high - axis.low) / axis.step > kMostTicks) {
    return {{axis.low, number(axis.low)}, {axis.high, number(axis.high)}};
  }
  const double tolerance = axis.step * 1e-6;
  for (double at = std::ceil((axis.low - tolerance) / axis.step) * axis.step;
       at <= axis.high + tolerance; at += axis.step) {
    const double shown = std::abs(at) < tolerance ? 0.0 : at;  // never "-0.0"
    ticks.emplace_back(shown, number(shown));
  }
  return ticks;
}

bool Finite(QPointF point) {
  return std::isfinite(point.x()) && std::isfinite(point.y());
}

// Every n-th label, so that labels `size` pixels long, ticks `spacing` pixels apart, never meet.
std::size_t LabelStride(double size, double spacing) {
  if (!(spacing > 0)) return 1;
  return static_cast<std::size_t>(std::clamp(std::ceil((size + 2 * kGap) / spacing), 1.0, 1e6));
}

double SmallestSpacing(const std::vector<std::pair<double, QString>>& ticks, double pixelsPerUnit) {
  double smallest = 1e9;
  for (std::size_t i = 1; i < ticks.size(); ++i)
    smallest = std::min(smallest, std::abs(ticks[i].first - ticks[i - 1].first) * pixelsPerUnit);
  return smallest;
}

QPolygonF Star(QPointF centre, double radius) {
  QPolygonF star;
  constexpr int kCorners = 10;
  for (int i = 0; i < kCorners; ++i) {
    const double r = i % 2 ? radius * 0.45 : radius;
    const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    star << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
  }
  return star;
}

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ChartView::SetData(ChartData data) {
  data_ = std::move(data);
  update();
}

QFont ChartView::LabelFont() const {
  QFont small = font();
  if (small.pointSizeF() > 0)
    small.setPointSizeF(small.pointSizeF() * 0.9);
  else
    small.setPixelSize(std::max(8, small.pixelSize() * 9 / 10));
  return small;
}

QFont ChartView::TitleFont() const {
  QFont title = font();
  title.setBold(true);
  return title;
}

double ChartView::YLabelWidth(const ChartData::Axis& axis) const {
  const QFontMetricsF metrics(LabelFont());
  double widest = 0;
  for (const auto& [value, label] : Ticks(axis))
    widest = std::max(widest, metrics.horizontalAdvance(label));
  return widest;
}

double ChartView::LegendEntryWidth(const ChartData::Series& series) const {
  return kSwatchWidth + kGap + QFontMetricsF(font()).horizontalAdvance(series.name);
}

// The legend's entries in rows centred under the plot, each row as wide as the widget allows.
std::vector<ChartView::LegendEntry> ChartView::PlaceLegend(double top) const {
  std::vector<LegendEntry> entries;
  if (!data_.legend) return entries;
  const double lineHeight = QFontMetricsF(font()).height();
  const double room = width() - 2 * kMargin;
  std::vector<std::size_t> row;
  double rowWidth = 0;
  const auto finishRow = [&] {
    double x = kMargin + std::max(0.0, (room - rowWidth) / 2);
    for (std::size_t index : row) {
      entries.push_back({index, {x, top}});
      x += LegendEntryWidth(data_.series[index]) + kLegendSpacing;
    }
    row.clear();
    rowWidth = 0;
    top += lineHeight;
  };
  for (std::size_t i = 0; i < data_.series.size(); ++i) {
    const ChartData::Series& series = data_.series[i];
    if (!series.inLegend || series.name.isEmpty()) continue;
    const double needed = LegendEntryWidth(series) + (row.empty() ? 0 : kLegendSpacing);
    if (!row.empty() && rowWidth + needed > room) finishRow();
    rowWidth += LegendEntryWidth(series) + (row.empty() ? 0 : kLegendSpacing);
    row.push_back(i);
  }
  if (!row.empty()) finishRow();
  return entries;
}

int ChartView::LegendRows() const {
  const std::vector<LegendEntry> entries = PlaceLegend(0);
  if (entries.empty()) return 0;
  const double lineHeight = QFontMetricsF(font()).height();
  return static_cast<int>(std::lround(entries.back().at.y() / lineHeight)) + 1;
}

ChartView::Layout ChartView::MakeLayout() const {
  const QFontMetricsF labels(LabelFont());
  const double lineHeight = QFontMetricsF(font()).height();
  double top = kMargin + (data_.title.isEmpty() ? labels.height() / 2
                                                : QFontMetricsF(TitleFont()).height() + kGap);
  double left = kMargin + YLabelWidth(data_.y) + kGap + kTickLength;
  if (!data_.y.title.isEmpty()) left += lineHeight + kGap;
  double right = kMargin + labels.horizontalAdvance("0000") / 2;
  if (data_.rightAxis) {
    right = kMargin + YLabelWidth(*data_.rightAxis) + kGap + kTickLength;
    if (!data_.rightAxis->title.isEmpty()) right += lineHeight + kGap;
  }
  const int legendRows = LegendRows();
  double bottom = kMargin + kTickLength + kGap + labels.height();
  if (!data_.x.title.isEmpty()) bottom += lineHeight;
  if (legendRows > 0) bottom += kGap * 2 + legendRows * lineHeight;

  Layout layout;
  layout.plot = QRectF(left, top, std::max(1.0, width() - left - right),
                       std::max(1.0, height() - top - bottom));
  if (data_.equalScale) {
    const double scale = std::min(layout.plot.width() / Span(data_.x),
                                  layout.plot.height() / Span(data_.y));
    const QSizeF size(Span(data_.x) * scale, Span(data_.y) * scale);
    layout.plot = QRectF(layout.plot.center() - QPointF(size.width(), size.height()) / 2, size);
  }
  if (legendRows > 0) layout.legend = PlaceLegend(height() - kMargin - legendRows * lineHeight);
  return layout;
}

QRectF ChartView::PlotArea() const {
  return MakeLayout().plot;
}

QPointF ChartView::ToPixels(QPointF value, bool onRightAxis) const {
  const QRectF plot = PlotArea();
  const ChartData::Axis& y = onRightAxis && data_.rightAxis ? *data_.rightAxis : data_.y;
  return {plot.left() + (value.x() - data_.x.low) / Span(data_.x) * plot.width(),
          plot.bottom() - (value.y() - y.low) / Span(y) * plot.height()};
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().base());
  const Layout layout = MakeLayout();
  if (!data_.title.isEmpty()) {
    painter.setFont(TitleFont());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRectF(0, kMargin, width(), layout.plot.top() - kMargin),
                     Qt::AlignHCenter | Qt::AlignTop, data_.title);
  }
  PaintGrid(painter, layout.plot);
  painter.save();
  painter.setClipRect(layout.plot.adjusted(-1, -1, 1, 1));
  for (const ChartData::Series& series : data_.series) PaintSeries(painter, layout.plot, series);
  painter.restore();
  PaintXAxis(painter, layout.plot);
  PaintYAxis(painter, layout.plot, data_.y, false);
  if (data_.rightAxis) PaintYAxis(painter, layout.plot, *data_.rightAxis, true);
  PaintLegend(painter, layout.legend);
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
  }
}

void ChartView::PaintGrid(QPainter& painter, const QRectF& plot) const {
  QColor grid = palette().color(QPalette::Text);
  grid.setAlpha(40);
  painter.setPen(QPen(grid, 1));
  for (const auto& [value, label] : Ticks(data_.y)) {
    const double y = plot.bottom() - (value - data_.y.low) / Span(data_.y) * plot.height();
    if (y >= plot.top() - 0.5 && y <= plot.bottom() + 0.5)
      painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
  }
  if (!data_.x.labels.empty()) return;  // categories and dates need no upright lines
  for (const auto& [value, label] : Ticks(data_.x)) {
    const double x = plot.left() + (value - data_.x.low) / Span(data_.x) * plot.width();
    if (x >= plot.left() - 0.5 && x <= plot.right() + 0.5)
      painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }
}

void ChartView::PaintXAxis(QPainter& painter, const QRectF& plot) const {
  const QColor text = palette().color(QPalette::Text);
  painter.setPen(QPen(text, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  painter.setFont(LabelFont());
  const QFontMetricsF metrics(LabelFont());
  const auto ticks = Ticks(data_.x);
  double widest = 0;
  for (const auto& [value, label] : ticks) widest = std::max(widest, metrics.horizontalAdvance(label));
  const std::size_t stride = LabelStride(widest, SmallestSpacing(ticks, plot.width() / Span(data_.x)));
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const double x = plot.left() + (ticks[i].first - data_.x.low) / Span(data_.x) * plot.width();
    if (x < plot.left() - 0.5 || x > plot.right() + 0.5) continue;
    painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + kTickLength));
    if (i % stride != 0) continue;
    const QRectF box(x - widest, plot.bottom() + kTickLength + kGap / 2, 2 * widest,
                     metrics.height());
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, ticks[i].second);
  }
  if (data_.x.title.isEmpty()) return;
  painter.setFont(font());
  const double top = plot.bottom() + kTickLength + kGap / 2 + metrics.height();
  painter.drawText(QRectF(plot.left(), top, plot.width(), QFontMetricsF(font()).height()),
                   Qt::AlignHCenter | Qt::AlignTop, data_.x.title);
}

void ChartView::PaintYAxis(QPainter& painter, const QRectF& plot, const ChartData::Axis& axis,
                           bool right) const {
  painter.setPen(QPen(palette().color(QPalette::Text), 1));
  painter.setFont(LabelFont());
  const QFontMetricsF metrics(LabelFont());
  const auto ticks = Ticks(axis);
  const std::size_t stride = LabelStride(metrics.height(), SmallestSpacing(ticks, plot.height() / Span(axis)));
  const double edge = right ? plot.right() : plot.left();
  const double outward = right ? 1 : -1;
  const double labelWidth = YLabelWidth(axis);
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const double y = plot.bottom() - (ticks[i].first - axis.low) / Span(axis) * plot.height();
    if (y < plot.top() - 0.5 || y > plot.bottom() + 0.5) continue;
    painter.drawLine(QPointF(edge, y), QPointF(edge + outward * kTickLength, y));
    if (i % stride != 0) continue;
    const double x = right ? edge + kTickLength + kGap : edge - kTickLength - kGap - labelWidth;
    painter.drawText(QRectF(x, y - metrics.height() / 2, labelWidth, metrics.height()),
                     (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, ticks[i].second);
  }
  if (axis.title.isEmpty()) return;
  painter.setFont(font());
  const double lineHeight = QFontMetricsF(font()).height();
  const double distance = kTickLength + kGap + labelWidth + kGap + lineHeight / 2;
  painter.save();
  painter.translate(edge + outward * distance, plot.center().y());
  painter.rotate(right ? 90 : -90);
  painter.drawText(QRectF(-plot.height() / 2, -lineHeight / 2, plot.height(), lineHeight),
                   Qt::AlignCenter, axis.title);
  painter.restore();
}

void ChartView::PaintSeries(QPainter& painter, const QRectF& plot,
                            const ChartData::Series& series) const {
  const ChartData::Axis& y = series.onRightAxis && data_.rightAxis ? *data_.rightAxis : data_.y;
  const auto toPixels = [&](QPointF v) {
    return QPointF(plot.left() + (v.x() - data_.x.low) / Span(data_.x) * plot.width(),
                   plot.bottom() - (v.y() - y.low) / Span(y) * plot.height());
  };
  using Kind = ChartData::Series::Kind;
  if (series.kind == Kind::Bars) {
    const double base = toPixels({0, std::clamp(0.0, y.low, y.high)}).y();
    const double halfWidth = data_.barWidth / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(series.colour);
    for (const QPointF& bar : series.points) {
      if (!Finite(bar) || bar.y() == 0) continue;
      const QPointF corner = toPixels({bar.x() - halfWidth, bar.y()});
      painter.drawRect(QRectF(corner, QPointF(toPixels({bar.x() + halfWidth, 0}).x(), base)));
    }
    return;
  }
  if (series.kind == Kind::Line) {
    QPainterPath path;
    bool drawing = false;
    for (const QPointF& point : series.points) {
      if (!Finite(point)) {
        drawing = false;
        continue;
      }
      drawing ? path.lineTo(toPixels(point)) : path.moveTo(toPixels(point));
      drawing = true;
    }
    painter.setPen(QPen(series.colour, kLineWidth, series.style, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    if (!series.pointsMarked) return;
  }
  for (const QPointF& point : series.points)
    if (Finite(point)) PaintMarker(painter, toPixels(point), series);
}

void ChartView::PaintMarker(QPainter& painter, QPointF centre,
                            const ChartData::Series& series) const {
  const double radius = series.markerSize / 2;
  painter.setPen(QPen(series.colour.darker(140), 1));
  painter.setBrush(series.colour);
  switch (series.marker) {
    case ChartData::Series::Marker::Circle:
      painter.drawEllipse(centre, radius, radius);
      break;
    case ChartData::Series::Marker::Square:
      painter.drawRect(QRectF(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)));
      break;
    case ChartData::Series::Marker::Star:
      painter.drawPolygon(Star(centre, radius));
      break;
  }
}

void ChartView::PaintLegend(QPainter& painter, const std::vector<LegendEntry>& legend) const {
  const double lineHeight = QFontMetricsF(font()).height();
  painter.setFont(font());
  for (const LegendEntry& entry : legend) {
    const ChartData::Series& series = data_.series[entry.series];
    const QPointF middle = entry.at + QPointF(kSwatchWidth / 2, lineHeight / 2);
    using Kind = ChartData::Series::Kind;
    if (series.kind == Kind::Line) {
      painter.setPen(QPen(series.colour, kLineWidth, series.style, Qt::FlatCap));
      painter.drawLine(QPointF(entry.at.x(), middle.y()),
                       QPointF(entry.at.x() + kSwatchWidth, middle.y()));
    }
    if (series.kind == Kind::Bars) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(series.colour);
      painter.drawRect(QRectF(middle - QPointF(5, 5), QSizeF(10, 10)));
    }
    if (series.kind == Kind::Points || series.pointsMarked) {
      ChartData::Series small = series;
      small.markerSize = std::min(series.markerSize, lineHeight * 0.8);
      PaintMarker(painter, middle, small);
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRectF(entry.at.x() + kSwatchWidth + kGap, entry.at.y(), width(), lineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, series.name);
  }
}

}  // namespace velluma
