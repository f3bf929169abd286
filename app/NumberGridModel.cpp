#include "app/NumberGridModel.h"

#include "app/GridStyle.h"
#include "platform/CLocale.h"

namespace velluma {

NumberGridModel::NumberGridModel(QStringList headers, const char* valueFormat, int entries,
                                 QObject* parent)
    : QAbstractTableModel(parent),
      headers_(std::move(headers)),
      valueFormat_(valueFormat),
      entries_(entries) {}

void NumberGridModel::Fill(std::vector<std::vector<std::int32_t>> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  endResetModel();
}

QString NumberGridModel::Cell(int column, int row) const {
  if (row == 0) return column < headers_.size() ? headers_[column] : QString();
  if (column == 0) return QString::fromStdString(FormatC("%8d", row - 1));
  const auto index = static_cast<std::size_t>(column - 1);
  if (index >= columns_.size() || static_cast<std::size_t>(row - 1) >= columns_[index].size())
    return {};
  return QString::fromStdString(FormatC(valueFormat_, columns_[index][row - 1]));
}

QVariant NumberGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return Cell(index.column(), index.row());
  return GridCellStyle(role, index.row() == 0 || index.column() == 0);
}

Qt::ItemFlags NumberGridModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

}  // namespace velluma
