#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "calibration/RunHistory.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace velluma {

class HistoryChart;
class HistoryTableModel;

// The History dialog: the runs the history keeps, filtered by date, kind and monitor, in a table
// that sorts by any column, over a chart of AUTO's MaxBright and the verifications' grey ΔE2000
// over time. A history that cannot be read says why in the line under the table. Controls named
// "sinceCheck", "sinceEdit", "kindList", "monitorEdit", "refreshButton", "runTable",
// "driftChart", "statusLabel", "closeButton".
class HistoryDialog : public QDialog {
  Q_OBJECT

 public:
  explicit HistoryDialog(QWidget* parent = nullptr);

  // Where the runs are read from: a file or a "postgresql://" server; "" or "none" when none is
  // kept. The history is opened at the next Load and kept open until the next SetLocation.
  void SetLocation(const std::string& location);
  // Reads the runs the filters select, afresh.
  void Load();

 private:
  QWidget* BuildFilters();
  history::Filter CurrentFilter() const;

  QCheckBox* sinceCheck_ = nullptr;
  QDateEdit* sinceEdit_ = nullptr;
  QComboBox* kindList_ = nullptr;
  QLineEdit* monitorEdit_ = nullptr;
  QTableView* runTable_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  HistoryTableModel* runs_ = nullptr;
  HistoryChart* drift_ = nullptr;
  QSortFilterProxyModel* sorted_ = nullptr;
  std::string location_;
  std::unique_ptr<history::HistoryStore> store_;  // open while the dialog shows one location
};

}  // namespace velluma
