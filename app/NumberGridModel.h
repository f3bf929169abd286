#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace velluma {

// A read-only grid of whole numbers with a header row and a numbered first column: row e + 1
// shows entry e. It keeps a copy of the columns it was last filled with and formats a cell only
// when the view asks for it, so thousands of rows refresh in a millisecond.
class NumberGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `headers` gives the header row, one text per column; `valueFormat` formats the values
  // ("%d", "%8d"); the first column numbers the entries with "%8d".
  NumberGridModel(QStringList headers, const char* valueFormat, int entries,
                  QObject* parent = nullptr);

  void Fill(std::vector<std::vector<std::int32_t>> columns);
  QString Cell(int column, int row) const;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : entries_ + 1;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  QStringList headers_;
  const char* valueFormat_;
  int entries_;
  std::vector<std::vector<std::int32_t>> columns_;
};

}  // namespace velluma
