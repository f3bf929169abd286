#pragma once

#include <QWidget>
#include <vector>

#include "app/ChartData.h"

namespace velluma {

// A chart the window draws itself: its title, the axes with ticks, labels and a grid, its series
// as lines, bars or markers, and a legend below; antialiased, in the palette's colours, filling
// the widget at whatever size it has. A picture, not a tool: it takes the focus so the Tab key
// finds it, but neither zooms nor scrolls.
class ChartView : public QWidget {
  Q_OBJECT

 public:
  explicit ChartView(QWidget* parent = nullptr);

  void SetData(ChartData data);
  const ChartData& Data() const { return data_; }

  // The rectangle inside the axes at the widget's current size, and where a value lands in it.
  QRectF PlotArea() const;
  QPointF ToPixels(QPointF value, bool onRightAxis = false) const;

  QSize sizeHint() const override { return {480, 320}; }
  QSize minimumSizeHint() const override { return {200, 140}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct LegendEntry {
    std::size_t series;  // its index in data_.series
    QPointF at;          // the top left of its swatch
  };
  struct Layout {
    QRectF plot;
    std::vector<LegendEntry> legend;
  };

  Layout MakeLayout() const;
  std::vector<LegendEntry> PlaceLegend(double bottom) const;
  int LegendRows() const;
  double LegendEntryWidth(const ChartData::Series& series) const;
  double YLabelWidth(const ChartData::Axis& axis) const;

  void PaintGrid(QPainter& painter, const QRectF& plot) const;
  void PaintXAxis(QPainter& painter, const QRectF& plot) const;
  void PaintYAxis(QPainter& painter, const QRectF& plot, const ChartData::Axis& axis,
                  bool right) const;
  void PaintSeries(QPainter& painter, const QRectF& plot, const ChartData::Series& series) const;
  void PaintMarker(QPainter& painter, QPointF centre, const ChartData::Series& series) const;
  void PaintLegend(QPainter& painter, const std::vector<LegendEntry>& legend) const;

  QFont LabelFont() const;
  QFont TitleFont() const;

  ChartData data_;
};

}  // namespace velluma
