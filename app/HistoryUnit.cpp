#include "app/HistoryUnit.h"

#include <QChartView>
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

#include "app/HistoryChart.h"
#include "app/HistoryTableModel.h"

namespace velluma {

namespace {
constexpr history::Kind kKinds[] = {history::Kind::Auto,    history::Kind::Verification,
                                    history::Kind::ZeroCal, history::Kind::SendCalibration,
                                    history::Kind::SendLut, history::Kind::SendFilmGamma};
}  // namespace

THistoryForm::THistoryForm(QWidget* parent) : QDialog(parent) {
  setObjectName("HistoryForm");
  setWindowTitle("History");
  resize(1000, 640);

  Runs = new HistoryTableModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(Runs);
  sorted_->setSortRole(Qt::UserRole);
  RunGrid = new QTableView;
  RunGrid->setObjectName("RunGrid");
  RunGrid->setModel(sorted_);
  RunGrid->setSortingEnabled(true);
  RunGrid->sortByColumn(HistoryTableModel::Time, Qt::DescendingOrder);
  RunGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  RunGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  RunGrid->verticalHeader()->hide();
  RunGrid->verticalHeader()->setDefaultSectionSize(20);
  RunGrid->horizontalHeader()->setStretchLastSection(true);
  Drift = new HistoryChart(this);

  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(RunGrid);
  split->addWidget(Drift->View());
  split->setSizes({330, 250});

  StatusLabel = new QLabel;
  StatusLabel->setObjectName("StatusLabel");
  StatusLabel->setWordWrap(true);
  CloseButton = new QPushButton("Close");
  CloseButton->setObjectName("CloseButton");
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(StatusLabel, 1);
  bottom->addWidget(CloseButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildFilters());
  layout->addWidget(split, 1);
  layout->addLayout(bottom);
}

QWidget* THistoryForm::BuildFilters() {
  auto* filters = new QWidget;
  auto* row = new QHBoxLayout(filters);
  row->setContentsMargins(0, 0, 0, 0);
  SinceCheck = new QCheckBox("Since");
  SinceCheck->setObjectName("SinceCheck");
  SinceEdit = new QDateEdit(QDate::currentDate().addMonths(-1));
  SinceEdit->setObjectName("SinceEdit");
  SinceEdit->setCalendarPopup(true);
  SinceEdit->setDisplayFormat("yyyy-MM-dd");
  SinceEdit->setEnabled(false);
  KindCombo = new QComboBox;
  KindCombo->setObjectName("KindCombo");
  KindCombo->addItem("every kind");
  for (history::Kind kind : kKinds)
    KindCombo->addItem(QString::fromStdString(std::string(history::KindName(kind))));
  MonitorEdit = new QLineEdit;
  MonitorEdit->setObjectName("MonitorEdit");
  MonitorEdit->setPlaceholderText("monitor model or port");
  MonitorEdit->setClearButtonEnabled(true);
  RefreshButton = new QPushButton("Refresh");
  RefreshButton->setObjectName("RefreshButton");

  row->addWidget(SinceCheck);
  row->addWidget(SinceEdit);
  row->addSpacing(12);
  row->addWidget(new QLabel("Kind"));
  row->addWidget(KindCombo);
  row->addSpacing(12);
  row->addWidget(new QLabel("Monitor"));
  row->addWidget(MonitorEdit, 1);
  row->addWidget(RefreshButton);

  connect(SinceCheck, &QCheckBox::toggled, SinceEdit, &QWidget::setEnabled);
  connect(SinceCheck, &QCheckBox::toggled, this, &THistoryForm::Load);
  connect(SinceEdit, &QDateEdit::dateChanged, this, &THistoryForm::Load);
  connect(KindCombo, &QComboBox::currentIndexChanged, this, &THistoryForm::Load);
  connect(MonitorEdit, &QLineEdit::editingFinished, this, &THistoryForm::Load);
  connect(RefreshButton, &QPushButton::clicked, this, &THistoryForm::Load);
  return filters;
}

history::Filter THistoryForm::CurrentFilter() const {
  history::Filter filter;
  if (SinceCheck->isChecked())
    filter.sinceUtc = SinceEdit->date().toString("yyyy-MM-dd").toStdString() + "T00:00:00Z";
  if (const int index = KindCombo->currentIndex(); index > 0) filter.kind = kKinds[index - 1];
  if (const QString monitor = MonitorEdit->text().trimmed(); !monitor.isEmpty())
    filter.monitor = monitor.toStdString();
  return filter;
}

void THistoryForm::SetLocation(const std::string& location) {
  location_ = location;
  store_.reset();
}

// Each change of a filter queries the open history; a failure closes it, so the next query
// opens it afresh (a server back again, a file no longer locked).
void THistoryForm::Load() {
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
  StatusLabel->setText(status);
  Drift->Show(records);
  Runs->SetRecords(std::move(records));
  RunGrid->resizeColumnsToContents();
  // The outcome's full text is in its tooltip; the figures get the room that is left.
  constexpr int kOutcomeWidth = 300;
  if (RunGrid->columnWidth(HistoryTableModel::Outcome) > kOutcomeWidth)
    RunGrid->setColumnWidth(HistoryTableModel::Outcome, kOutcomeWidth);
}

}  // namespace velluma
