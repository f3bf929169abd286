#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "calibration/RunHistory.h"

namespace velluma {

// The runs of the history as a table: one row per record, the columns the History dialog shows.
// Sorting is left to a proxy; each column gives its sort key in Qt::UserRole (times as text sort
// as times, result codes as numbers).
class HistoryTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Time, Kind, Monitor, Port, Instrument, Result, Outcome, Figures, ColumnCount };

  explicit HistoryTableModel(QObject* parent = nullptr);

  void SetRecords(std::vector<history::Record> records);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QString Text(const history::Record& record, int column) const;

  std::vector<history::Record> records_;
};

}  // namespace velluma
