#include "app/ProgressPanel.h"

#include <QPainter>

namespace velluma {

ProgressPanel::ProgressPanel(QWidget* parent) : QWidget(parent) {
  setFixedWidth(100);
}

void ProgressPanel::Fill(const QRect& area, const QColor& colour) {
  area_ = area;
  colour_ = colour;
  repaint();
}

void ProgressPanel::paintEvent(QPaintEvent*) {
  if (onPaint) onPaint(rect());
  if (area_.isEmpty()) return;
  QPainter painter(this);
  painter.fillRect(area_, colour_);
}

}  // namespace velluma
