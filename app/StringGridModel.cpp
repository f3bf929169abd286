#include "app/StringGridModel.h"

#include <QApplication>
#include <QPalette>

#include "app/GridStyle.h"

namespace velluma {

StringGridModel::StringGridModel(int columns, int rows, bool editable, QObject* parent)
    : QAbstractTableModel(parent),
      columns_(columns),
      rows_(rows),
      editable_(editable),
      cells_(columns * rows) {}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const bool fixed = index.row() == 0 || index.column() == 0;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return Cell(index.column(), index.row());
    default:
      return GridCellStyle(role, fixed);
  }
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
  const QString text = value.toString();
  SetCell(index.column(), index.row(), text);  // the cell keeps what was typed, converted or not
  emit dataChanged(index, index);
  if (onEditText_) onEditText_(index.column(), index.row(), text);
  return true;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled;
  const bool fixed = index.row() == 0 || index.column() == 0;
  if (!fixed) flags |= Qt::ItemIsSelectable;
  if (!fixed && editable_) flags |= Qt::ItemIsEditable;
  return flags;
}

}  // namespace velluma
