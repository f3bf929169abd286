#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace velluma {

// What one of the window's charts shows, as plain values a ChartView paints and a test reads:
// the axes with their ranges and ticks, and named series of points drawn as a line, as bars or as
// markers, each in its own colour.
struct ChartData {
  struct Axis {
    QString title;
    double low = 0;
    double high = 1;
    double step = 0.2;  // between two ticks; each tick has a grid line and a label
    int decimals = 1;   // of the numbers under the ticks
    // When not empty, these labels at these values stand instead of the numbered ticks (the
    // patches under bars, the dates of a time axis).
    std::vector<std::pair<double, QString>> labels;
  };

  struct Series {
    enum class Kind { Line, Bars, Points };
    enum class Marker { Circle, Square, Star };
    QString name;  // in the legend
    Kind kind = Kind::Line;
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;  // of a line
    Marker marker = Marker::Circle;      // of points, and of a line's points when marked
    double markerSize = 7;               // pixels across
    bool pointsMarked = false;           // a line with a marker at each point
    bool inLegend = true;
    bool onRightAxis = false;  // its y is read on rightAxis rather than y
    QList<QPointF> points;     // NaN points are left out, and break a line
  };

  QString title;
  Axis x;
  Axis y;
  std::optional<Axis> rightAxis;
  std::vector<Series> series;
  double barWidth = 0.8;    // in x units
  bool equalScale = false;  // one unit as long on x as on y (a chromaticity diagram)
  bool legend = true;
};

// An axis of round ticks from about `low` to about `high`, with at most `mostTicks` of them.
ChartData::Axis NiceAxis(const QString& title, double low, double high, int mostTicks = 6);

}  // namespace velluma
