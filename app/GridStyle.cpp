#include "app/GridStyle.h"

#include <QApplication>
#include <QPalette>

namespace velluma {

QVariant GridCellStyle(int role, bool fixed) {
  switch (role) {
    case Qt::BackgroundRole:
      if (fixed) return QApplication::palette().color(QPalette::Button);
      return {};
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

}  // namespace velluma
