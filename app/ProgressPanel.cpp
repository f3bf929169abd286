#include "app/ProgressPanel.h"

#include <QPainter>
#include <cmath>

namespace velluma {

ProgressPanel::ProgressPanel(QWidget* parent) : QWidget(parent) {
  setFixedWidth(100);
}

void ProgressPanel::ShowProgress(int done, int total) {
  cleared_ = false;
  done_ = done;
  total_ = total > 0 ? total : 1;
  repaint();
}

void ProgressPanel::Clear() {
  cleared_ = true;
  repaint();
}

// The bar's right edge: left + width * done / total, computed in floating point and truncated.
QRect ProgressPanel::FilledArea() const {
  const QRect whole = rect();
  if (cleared_) return whole;
  const int width =
      static_cast<int>(std::trunc(static_cast<double>(whole.width()) * done_ / total_));
  return QRect(whole.left(), whole.top(), width, whole.height());
}

QColor ProgressPanel::FilledColour() const {
  return cleared_ ? palette().color(QPalette::Button) : QColor(0, 0, 255);
}

void ProgressPanel::paintEvent(QPaintEvent*) {
  const QRect area = FilledArea();
  if (area.isEmpty()) return;
  QPainter painter(this);
  painter.fillRect(area, FilledColour());
}

}  // namespace velluma
