// The window's own chart widget: where values land in its plot, and what it survives painting.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>

#include "app/ChartView.h"

namespace velluma {
namespace {

void ExpectNear(QPointF seen, QPointF expected, const char* what) {
  EXPECT_NEAR(seen.x(), expected.x(), 1e-9) << what;
  EXPECT_NEAR(seen.y(), expected.y(), 1e-9) << what;
}

ChartData::Series SeriesOf(ChartData::Series::Kind kind, QList<QPointF> points) {
  ChartData::Series series;
  series.name = "series";
  series.kind = kind;
  series.pointsMarked = true;
  series.points = std::move(points);
  return series;
}

QImage Painted(ChartView& view) {
  QImage image(view.size(), QImage::Format_ARGB32);
  view.render(&image);
  return image;
}

// The axes' corners land on the plot's corners, the right axis beside the left, the plot stays
// inside the widget at every size, and the xy diagram keeps one scale on both axes.
TEST(ChartViewTest, AxisRangesMapOntoThePlotsCornersAtEverySize) {
  ChartData data;
  data.title = "title";
  data.x = NiceAxis("x", 0, 10);
  data.y = NiceAxis("y", -1, 1);
  data.rightAxis = NiceAxis("right", 0, 100);
  data.series.push_back(SeriesOf(ChartData::Series::Kind::Line, {{0, -1}, {10, 1}}));
  ChartView view;
  view.SetData(data);
  for (const QSize size : {QSize(640, 400), QSize(300, 500), QSize(200, 140)}) {
    view.resize(size);
    const QRectF plot = view.PlotArea();
    EXPECT_TRUE(QRectF(view.rect()).contains(plot)) << size.width();
    ExpectNear(view.ToPixels({0, -1}), plot.bottomLeft(), "lowest x and y");
    ExpectNear(view.ToPixels({10, 1}), plot.topRight(), "highest x and y");
    ExpectNear(view.ToPixels({5, 0}), plot.center(), "the middle");
    ExpectNear(view.ToPixels({10, 100}, true), plot.topRight(), "highest on the right axis");
    ExpectNear(view.ToPixels({0, 0}, true), plot.bottomLeft(), "lowest on the right axis");
  }
  data.x = NiceAxis("x", 0, 0.8);
  data.y = NiceAxis("y", 0, 0.9);
  data.equalScale = true;
  view.SetData(data);
  view.resize(900, 300);
  EXPECT_NEAR(view.PlotArea().width() / view.PlotArea().height(),
              (data.x.high - data.x.low) / (data.y.high - data.y.low), 1e-9);
}

// Nothing to draw, points that are not numbers, an axis of no length or with a step too small to
// count, and a widget smaller than its margins: each is painted without a fault.
TEST(ChartViewTest, EmptyDegenerateAndNonNumericChartsPaint) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  ChartView view;
  view.resize(320, 240);
  EXPECT_FALSE(Painted(view).isNull()) << "no data at all";

  ChartData data;
  data.x.low = data.x.high = 5;
  data.y.step = 1e-12;
  using Kind = ChartData::Series::Kind;
  for (const Kind kind : {Kind::Line, Kind::Bars, Kind::Points})
    data.series.push_back(SeriesOf(kind, {{kNaN, 1}, {1, kNaN}, {kInfinity, 0}, {0.5, 0.5}}));
  data.series.push_back(SeriesOf(Kind::Line, {}));
  view.SetData(data);
  EXPECT_FALSE(Painted(view).isNull());
  EXPECT_TRUE(std::isfinite(view.ToPixels({5, 0.5}).x())) << "an axis of no length";
  view.resize(12, 12);
  EXPECT_FALSE(Painted(view).isNull()) << "smaller than the margins";

  const ChartData::Axis nice = NiceAxis("n", 0.03, 2.71, 8);
  EXPECT_DOUBLE_EQ(nice.low, 0);
  EXPECT_DOUBLE_EQ(nice.high, 3);
  EXPECT_DOUBLE_EQ(nice.step, 0.5);
  EXPECT_EQ(nice.decimals, 1);
}

}  // namespace
}  // namespace velluma
