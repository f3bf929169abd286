#include "app/ToolBarImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velluma {

namespace {

constexpr int kSize = 16;

void DrawPage(QPainter& p) {
  QPolygon page({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}});
  p.setPen(QColor(60, 60, 60));
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  p.drawLine(10, 1, 10, 4);
  p.drawLine(10, 4, 13, 4);
}

void DrawFolder(QPainter& p) {
  p.setPen(QColor(120, 90, 20));
  p.setBrush(QColor(240, 200, 80));
  p.drawPolygon(QPolygon({{1, 4}, {6, 4}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
  p.setBrush(QColor(250, 225, 130));
  p.drawPolygon(QPolygon({{3, 7}, {15, 7}, {13, 13}, {1, 13}}));
}

void DrawDisk(QPainter& p) {
  p.setPen(QColor(20, 40, 90));
  p.setBrush(QColor(50, 90, 170));
  p.drawRect(1, 1, 13, 13);
  p.setBrush(Qt::white);
  p.drawRect(4, 2, 7, 5);
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(4, 9, 7, 5);
}

void DrawExit(QPainter& p) {
  p.setPen(QPen(QColor(170, 30, 30), 2));
  p.drawLine(4, 4, 12, 12);
  p.drawLine(12, 4, 4, 12);
}

void DrawGear(QPainter& p) {
  p.setPen(QColor(60, 60, 60));
  p.setBrush(QColor(150, 150, 150));
  for (int i = 0; i < 8; ++i) {
    p.save();
    p.translate(8, 8);
    p.rotate(45 * i);
    p.drawRect(-1, -7, 3, 4);
    p.restore();
  }
  p.drawEllipse(QPoint(8, 8), 5, 5);
  p.setBrush(Qt::white);
  p.drawEllipse(QPoint(8, 8), 2, 2);
}

}  // namespace

QIcon ToolBarImage(int index) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (index) {
    case 0:
      DrawPage(p);
      break;
    case 1:
      DrawFolder(p);
      break;
    case 2:
      DrawDisk(p);
      break;
    case 3:
      DrawExit(p);
      break;
    default:
      DrawGear(p);
      break;
  }
  return QIcon(pixmap);
}

QIcon ApplicationIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(40, 40, 40));
  p.setBrush(QColor(30, 30, 30));
  p.drawRoundedRect(2, 4, 28, 19, 2, 2);
  QLinearGradient ramp(4, 0, 28, 0);
  ramp.setColorAt(0, Qt::black);
  ramp.setColorAt(1, Qt::white);
  p.setBrush(ramp);
  p.drawRect(4, 6, 24, 15);
  p.setBrush(QColor(60, 60, 60));
  p.drawRect(13, 23, 6, 4);
  p.drawRect(9, 27, 14, 2);
  return QIcon(pixmap);
}

}  // namespace velluma
