// File > History..., offscreen: the runs the station's history keeps, filtered and charted.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "app/ChartView.h"
#include "app/HistoryDialog.h"
#include "app/HistoryTableModel.h"
#include "app/MainWindow.h"
#include "tests/app/WindowRig.h"

namespace velluma {
namespace {

using test::Cell;
using test::Named;

class HistoryDialogTest : public ::testing::Test, protected test::WindowRig {};

// Each filter narrows the table, the chart draws AUTO's MaxBright and the verifications' grey
// ΔE, and a history that cannot be read says why.
TEST_F(HistoryDialogTest, TheHistoryDialogFiltersAndChartsTheRuns) {
  const std::string location = SampleHistoryFile();
  auto window = Start();
  window->TheStation().UseHistory(location);
  std::vector<std::pair<std::string, int>> seen;
  HistoryDialog* shown = nullptr;
  const auto filterAndLook = [&](HistoryDialog& dialog) {
    shown = &dialog;
    auto* runs = Named<QTableView>(dialog, "runTable");
    const auto look = [&](const std::string& what) {
      seen.emplace_back(what, runs->model()->rowCount());
    };
    look("all");
    const auto& series = Named<ChartView>(dialog, "driftChart")->Data().series;
    seen.emplace_back("MaxBright points", static_cast<int>(series[0].points.size()));
    seen.emplace_back("ΔE points", static_cast<int>(series[1].points.size()));
    auto* kind = Named<QComboBox>(dialog, "kindList");
    kind->setCurrentText("auto");
    look("auto");
    kind->setCurrentText("verify");
    look("verify");
    kind->setCurrentIndex(0);
    auto* monitor = Named<QLineEdit>(dialog, "monitorEdit");
    monitor->setText("COM9");
    emit monitor->editingFinished();
    look("COM9");
    monitor->setText("QX-7MR520");
    emit monitor->editingFinished();
    look("QX-7MR520");
    Named<QDateEdit>(dialog, "sinceEdit")->setDate(QDate(2026, 11, 20));
    Named<QCheckBox>(dialog, "sinceCheck")->setChecked(true);
    look("since 2026-11-20");
    runs->sortByColumn(HistoryTableModel::Time, Qt::AscendingOrder);
    EXPECT_EQ(Cell(dialog, "runTable", HistoryTableModel::Time, 0).toStdString(),
              "2026-11-21 18:40:00");
    dialog.accept();
  };
  ASSERT_TRUE(test::WhileDialogShows<HistoryDialog>(*window, "historyAction", filterAndLook));
  const std::vector<std::pair<std::string, int>> expected = {
      {"all", 24}, {"MaxBright points", 12}, {"ΔE points", 5},        {"auto", 12}, {"verify", 5},
      {"COM9", 0}, {"QX-7MR520", 24},        {"since 2026-11-20", 11}};
  EXPECT_EQ(seen, expected);

  shown->SetLocation(dir.Path().string());  // a folder
  shown->Load();
  EXPECT_EQ(Named<QTableView>(*shown, "runTable")->model()->rowCount(), 0);
  const QString status = Named<QLabel>(*shown, "statusLabel")->text();
  EXPECT_TRUE(status.startsWith("history " + QString::fromStdString(dir.Path().string())))
      << status.toStdString();
}

}  // namespace
}  // namespace velluma
