#include "app/HistoryTableModel.h"

#include <QBrush>
#include <QColor>

namespace velluma {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QString FirstLine(const std::string& text) {
  return Q(text.substr(0, text.find('\n'))).replace('\t', ' ');
}

// The result codes as the operator reads them.
QString ResultText(int code) {
  switch (code) {
    case 0:
      return "done";
    case 1:
      return "NG / refused";
    default:
      return "failed";
  }
}

}  // namespace

HistoryTableModel::HistoryTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void HistoryTableModel::SetRecords(std::vector<history::Record> records) {
  beginResetModel();
  records_ = std::move(records);
  endResetModel();
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QString HistoryTableModel::Text(const history::Record& record, int column) const {
  switch (column) {
    case Time:
      return Q(record.timeUtc).replace('T', ' ').remove('Z');
    case Kind:
      return Q(std::string(history::KindName(record.kind)));
    case Monitor:
      return Q(record.monitorModel);
    case Port:
      return Q(record.monitorPort);
    case Instrument:
      return Q(record.instrument);
    case Result:
      return ResultText(record.resultCode);
    case Outcome:
      return FirstLine(record.outcome);
    case Figures:
      return Q(history::KeyFigures(record));
    default:
      return {};
  }
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const history::Record& record = records_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return Text(record, index.column());
    case Qt::ToolTipRole:
      if (index.column() == Outcome) return Q(record.outcome);
      if (index.column() == Figures) return Text(record, Figures);
      return {};
    case Qt::UserRole:
      if (index.column() == Result) return record.resultCode;
      return Text(record, index.column());
    case Qt::ForegroundRole:
      if (index.column() == Result && record.resultCode != 0)
        return QBrush(QColor(0xb0, 0x30, 0x20));
      return {};
    default:
      return {};
  }
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kHeadings[] = {"Time (UTC)", "Kind",   "Monitor", "Port",
                                          "Instrument", "Result", "Outcome", "Figures"};
  return section >= 0 && section < ColumnCount ? QString(kHeadings[section]) : QVariant();
}

}  // namespace velluma
