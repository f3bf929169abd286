#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVector>
#include <functional>

namespace velluma {

// A grid of texts with one fixed row and one fixed column, addressed (column, row) like the
// window's string grids. Every cell holds the text last written by a refresh or typed by the
// operator; an edit is handed to `onEditText` with the cell's new text.
class StringGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using EditHandler = std::function<void(int column, int row, const QString& text)>;

  StringGridModel(int columns, int rows, bool editable, QObject* parent = nullptr);

  // Bulk rewrite: BeginFill, SetCell for every cell, EndFill (one view update in all).
  void BeginFill() { beginResetModel(); }
  void SetCell(int column, int row, const QString& text) { cells_[row * columns_ + column] = text; }
  void EndFill() { endResetModel(); }
  QString Cell(int column, int row) const { return cells_[row * columns_ + column]; }

  void SetEditHandler(EditHandler handler) { onEditText_ = std::move(handler); }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : rows_;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : columns_;
  }
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  int columns_;
  int rows_;
  bool editable_;
  QVector<QString> cells_;
  EditHandler onEditText_;
};

}  // namespace velluma
