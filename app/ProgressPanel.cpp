#include "app/ProgressPanel.h"

#include <QPainter>

namespace velluma {

ProgressPanel::ProgressPanel(QWidget* parent) : QWidget(parent) { setFixedWidth(100); }

void ProgressPanel::paintEvent(QPaintEvent*) {
  if (onPaint) onPaint(rect());
  const int filled = filledWidth ? filledWidth() : 0;
  if (filled <= 0) return;
  QPainter painter(this);
  painter.fillRect(QRect(0, 0, std::min(filled, width()), height()), Qt::blue);
}

}  // namespace velluma
