#include "app/ChartParts.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPen>

namespace velluma {

QChartView* MakeChartView(QChart* chart) {
  auto* view = new QChartView(chart);
  view->setRenderHint(QPainter::Antialiasing);
  view->setRubberBand(QChartView::NoRubberBand);
  view->setInteractive(false);
  return view;
}

QLineSeries* MakeLine(const QString& name, QColor colour, Qt::PenStyle style) {
  auto* series = new QLineSeries;
  series->setName(name);
  series->setPen(QPen(colour, 1.5, style));
  return series;
}

}  // namespace velluma
