#include "app/HistoryDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>

#include "app/ChartView.h"
#include "app/HistoryChart.h"
#include "app/HistoryTableModel.h"

namespace velluma {

namespace {
constexpr history::Kind kKinds[] = {history::Kind::Auto,    history::Kind::Verification,
                                    history::Kind::ZeroCal, history::Kind::SendCalibration,
                                    history::Kind::SendLut, history::Kind::SendFilmGamma,
                                    history::Kind::Correct};
}  // namespace

HistoryDialog::HistoryDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("historyDialog");
  setWindowTitle("History");
  resize(1000, 640);

  runs_ = new HistoryTableModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(runs_);
  sorted_->setSortRole(Qt::UserRole);
  runTable_ = new QTableView;
  runTable_->setObjectName("runTable");
  runTable_->setModel(sorted_);
  runTable_->setSortingEnabled(true);
  runTable_->sortByColumn(HistoryTableModel::Time, Qt::DescendingOrder);
  runTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  runTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  runTable_->verticalHeader()->hide();
  runTable_->verticalHeader()->setDefaultSectionSize(20);
  runTable_->horizontalHeader()->setStretchLastSection(true);
  drift_ = new HistoryChart(this);
  drift_->View()->setObjectName("driftChart");

  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(runTable_);
  split->addWidget(drift_->View());
  split->setSizes({330, 250});

  statusLabel_ = new QLabel;
  statusLabel_->setObjectName("statusLabel");
  statusLabel_->setWordWrap(true);
  auto* closeButton = new QPushButton("Close");
  closeButton->setObjectName("closeButton");
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(statusLabel_, 1);
  bottom->addWidget(closeButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildFilters());
  layout->addWidget(split, 1);
  layout->addLayout(bottom);
}

QWidget* HistoryDialog::BuildFilters() {
  auto* filters = new QWidget;
  auto* row = new QHBoxLayout(filters);
  row->setContentsMargins(0, 0, 0, 0);
  sinceCheck_ = new QCheckBox("Since");
  sinceCheck_->setObjectName("sinceCheck");
  sinceEdit_ = new QDateEdit(QDate::currentDate().addMonths(-1));
  sinceEdit_->setObjectName("sinceEdit");
  sinceEdit_->setCalendarPopup(true);
  sinceEdit_->setDisplayFormat("yyyy-MM-dd");
  sinceEdit_->setEnabled(false);
  kindList_ = new QComboBox;
  kindList_->setObjectName("kindList");
  kindList_->addItem("every kind");
  for (history::Kind kind : kKinds)
    kindList_->addItem(QString::fromStdString(std::string(history::KindName(kind))));
  monitorEdit_ = new QLineEdit;
  monitorEdit_->setObjectName("monitorEdit");
  monitorEdit_->setPlaceholderText("monitor model or port");
  monitorEdit_->setClearButtonEnabled(true);
  auto* refreshButton = new QPushButton("Refresh");
  refreshButton->setObjectName("refreshButton");

  row->addWidget(sinceCheck_);
  row->addWidget(sinceEdit_);
  row->addSpacing(12);
  row->addWidget(new QLabel("Kind"));
  row->addWidget(kindList_);
  row->addSpacing(12);
  row->addWidget(new QLabel("Monitor"));
  row->addWidget(monitorEdit_, 1);
  row->addWidget(refreshButton);

  connect(sinceCheck_, &QCheckBox::toggled, sinceEdit_, &QWidget::setEnabled);
  connect(sinceCheck_, &QCheckBox::toggled, this, &HistoryDialog::Load);
  connect(sinceEdit_, &QDateEdit::dateChanged, this, &HistoryDialog::Load);
  connect(kindList_, &QComboBox::currentIndexChanged, this, &HistoryDialog::Load);
  connect(monitorEdit_, &QLineEdit::editingFinished, this, &HistoryDialog::Load);
  connect(refreshButton, &QPushButton::clicked, this, &HistoryDialog::Load);
  return filters;
}

history::Filter HistoryDialog::CurrentFilter() const {
  history::Filter filter;
  if (sinceCheck_->isChecked())
    filter.sinceUtc = sinceEdit_->date().toString("yyyy-MM-dd").toStdString() + "T00:00:00Z";
  if (const int index = kindList_->currentIndex(); index > 0) filter.kind = kKinds[index - 1];
  if (const QString monitor = monitorEdit_->text().trimmed(); !monitor.isEmpty())
    filter.monitor = monitor.toStdString();
  return filter;
}

void HistoryDialog::SetLocation(const std::string& location) {
  location_ = location;
  store_.reset();
}

// Each change of a filter queries the open history; a failure closes it, so the next query
// opens it afresh (a server back again, a file no longer locked).
void HistoryDialog::Load() {
  std::vector<history::Record> records;
  QString status;
  if (const auto reason = NoHistoryReason(location_)) {
    status = "History: " + QString::fromStdString(*reason) + ".";
  } else {
    try {
      if (!store_) store_ = OpenHistoryStore(location_, history::OpenFor::Recording);
      records = store_->Query(CurrentFilter());
      status =
          QString("%1 runs in %2").arg(records.size()).arg(QString::fromStdString(store_->Where()));
    } catch (const history::HistoryDamage& damage) {
      records = damage.Readable();
      status = QString::fromStdString(damage.what());
    } catch (const std::exception& error) {
      store_.reset();
      status = QString::fromStdString(error.what());
    }
  }
  statusLabel_->setText(status);
  drift_->Show(records);
  runs_->SetRecords(std::move(records));
  runTable_->resizeColumnsToContents();
  // The outcome's full text is in its tooltip; the figures get the room that is left.
  constexpr int kOutcomeWidth = 300;
  if (runTable_->columnWidth(HistoryTableModel::Outcome) > kOutcomeWidth)
    runTable_->setColumnWidth(HistoryTableModel::Outcome, kOutcomeWidth);
}

}  // namespace velluma
