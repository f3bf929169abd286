#pragma once

#include <QColor>
#include <QString>

class QChart;
class QChartView;
class QLineSeries;

namespace velluma {

// The window's charts are pictures, not tools: antialiased, without zooming or a rubber band.
QChartView* MakeChartView(QChart* chart);

// A line in `colour`, 1.5 pixels wide, drawn in `style`, named for the legend.
QLineSeries* MakeLine(const QString& name, QColor colour, Qt::PenStyle style = Qt::SolidLine);

}  // namespace velluma
