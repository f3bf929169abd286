#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <clocale>
#include <filesystem>

#include "app/FileFilter.h"
#include "app/HistoryChart.h"
#include "app/HistoryTableModel.h"
#include "app/HistoryUnit.h"
#include "app/NumberGridModel.h"
#include "app/ProgressPanel.h"
#include "app/StringGridModel.h"
#include "app/TonwickUnit.h"
#include "app/VerificationPage.h"
#include "tests/app/WindowRig.h"
#include "tests/support/CpuTime.h"
#include "tests/support/StationSeam.h"

namespace velluma {
namespace {

// The main window, offscreen, against a running virtual bench.
class TonwickFormTest : public ::testing::Test, protected test::BenchWindowRig {
 protected:
  // A control found by its name, as a tool would find it.
  template <typename Widget>
  static Widget* Named(TTonwickForm& window, const char* name) {
    auto* widget = window.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  static void Click(TTonwickForm& window, const char* button) {
    QTest::mouseClick(Named<QPushButton>(window, button), Qt::LeftButton);
  }

  // The tool bar's button of an action, clicked.
  static void ClickTool(TTonwickForm& window, const char* action) {
    QWidget* button =
        Named<QToolBar>(window, "ToolBar")->widgetForAction(Named<QAction>(window, action));
    ASSERT_NE(button, nullptr) << action;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  static QString Cell(QTableView* grid, int column, int row) {
    return grid->model()->index(row, column).data().toString();
  }

  static void Drop(TTonwickForm& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls.append(QUrl::fromLocalFile(p));
    data.setUrls(urls);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (enter.isAccepted()) QApplication::sendEvent(&window, &drop);
  }
};

TEST_F(TonwickFormTest, StartUpShowsTheModelAndTheStartPages) {
  auto window = Start();
  EXPECT_EQ(window->windowTitle(), "Velluma");
  EXPECT_EQ(window->ModelNameLabel->text(), "QX-7MR520");
  EXPECT_EQ(window->StatusText(0), "");
  EXPECT_EQ(window->StatusText(2), "Untitled.txt");
  EXPECT_EQ(window->FuncPageControl->tabText(window->FuncPageControl->currentIndex()),
            "Calibration");
  EXPECT_EQ(window->TablePageControl->tabText(window->TablePageControl->currentIndex()),
            "Yxy Table");
  EXPECT_TRUE(window->acceptDrops());
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(window->FileNew->isVisible());
  EXPECT_FALSE(window->FileNew->isEnabled());
}

TEST_F(TonwickFormTest, WithoutAnAnsweringMonitorTheLabelStaysEmptyAndDropsAreRefused) {
  bench.AddFault("MCO:1 silent");
  auto silent = Start();
  EXPECT_EQ(silent->ModelNameLabel->text(), "");
  EXPECT_FALSE(silent->acceptDrops());
  settings.WriteStringSetting("MonitorPort", dir.File("no-such-port"));
  auto missing = Start();
  EXPECT_EQ(missing->ModelNameLabel->text(), "");
  EXPECT_FALSE(missing->acceptDrops());
  Drop(*missing, {"/tmp/file.txt"});
  EXPECT_EQ(missing->StatusText(2), "Untitled.txt");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TonwickFormTest, TheStoredMemoriesAreSelectedAndAChoiceIsStored) {
  settings.WriteStringSetting("LookUpTableSendTo", "USER3");
  settings.WriteStringSetting("FilmGammaSendTo", "USER4");
  auto window = Start();
  EXPECT_EQ(window->LUTComboBox->currentText(), "USER3");
  EXPECT_EQ(window->FilmGammaComboBox->currentText(), "USER1");
  QTest::keyClick(Named<QComboBox>(*window, "FilmGammaComboBox"), Qt::Key_Down);
  EXPECT_EQ(settings.ReadStringSetting("FilmGammaSendTo"), "USER2");
}

TEST_F(TonwickFormTest, TabsKeepTheirFileNamesAndEnableTheFileCommands) {
  auto window = Start();
  window->FuncPageControl->setCurrentIndex(Operator::kLookUpTableTab);
  EXPECT_EQ(window->StatusText(2), "");
  EXPECT_FALSE(window->FileSave->isEnabled());
  EXPECT_FALSE(window->FileSaveAs->isEnabled());
  EXPECT_TRUE(window->FileOpen->isEnabled());
  window->FuncPageControl->setCurrentIndex(Operator::kCalibrationTab);
  EXPECT_EQ(window->StatusText(2), "Untitled.txt");
  EXPECT_TRUE(window->FileSave->isEnabled());
  EXPECT_TRUE(window->FileSaveAs->isEnabled());
}

TEST_F(TonwickFormTest, LockingTouchesTheNineControlsInOrder) {
  auto window = Start();
  std::vector<QWidget*> order{
      window->AutoButton,           window->ZeroCalButton,        window->DownloadButton,
      window->AnalyzerOffsetCxEdit, window->AnalyzerOffsetCyEdit, window->LUTStartButton,
      window->LUTComboBox,          window->FilmGammaStartButton, window->FilmGammaComboBox};
  struct Recorder : QObject {
    std::vector<QObject*> seen;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange)
        seen.push_back(watched);
      return false;
    }
  } recorder;
  for (QWidget* w : order) w->installEventFilter(&recorder);
  window->LockControls();
  EXPECT_EQ(recorder.seen, std::vector<QObject*>(order.begin(), order.end()));
  EXPECT_FALSE(window->AutoButton->isEnabled());
  EXPECT_TRUE(window->AnalyzerOffsetCxEdit->isReadOnly());
  EXPECT_TRUE(window->FileExit->isEnabled()) << "the menu is not locked";
  EXPECT_TRUE(window->FuncPageControl->isEnabled());
  recorder.seen.clear();
  window->UnlockControls();
  EXPECT_EQ(recorder.seen, std::vector<QObject*>(order.begin(), order.end()));
  EXPECT_TRUE(window->LUTComboBox->isEnabled());
  EXPECT_FALSE(window->AnalyzerOffsetCyEdit->isReadOnly());
}

TEST_F(TonwickFormTest, ExitCancelledLeavesEverythingAndOkEndsTheSession) {
  auto window = Start();
  window->show();
  answers = {Operator::kAnswerCancel};
  window->FileExit->trigger();
  EXPECT_TRUE(test::StationSeam(window->station()).Link());
  EXPECT_TRUE(window->isVisible());
  window->FileExit->trigger();
  EXPECT_FALSE(test::StationSeam(window->station()).Link());
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "EXIT?");
  EXPECT_EQ(boxes[0].caption, "Application");
  EXPECT_EQ(boxes[0].flags, 17);
}

TEST_F(TonwickFormTest, DropsGoToTheStationOnlyWhenNoProcedureRuns) {
  auto window = Start();
  {
    test::StationSeam::RunningProcedure running(window->station());
    EXPECT_FALSE(window->FileExit->isEnabled());
    EXPECT_FALSE(window->FileProperty->isEnabled());
    EXPECT_FALSE(window->FileOpen->isEnabled());
    Drop(*window, {"/tmp/first.txt"});
    EXPECT_EQ(window->StatusText(2), "Untitled.txt");
  }
  EXPECT_TRUE(window->FileExit->isEnabled());
  window->show();
  {
    test::StationSeam::RunningProcedure running(window->station());
    EXPECT_FALSE(window->close()) << "the close box waits for the procedure";
  }
  // A path longer than 255 characters, to a file that is there, is taken whole.
  const std::string folder = dir.File(std::string(150, 'a') + "/" + std::string(150, 'b'));
  std::filesystem::create_directories(folder);
  const QString longPath = QString::fromStdString(folder + "/first.txt");
  ASSERT_TRUE(
      test::StationSeam(window->station()).Files().WriteCalibrationFile(longPath.toStdString()));
  Drop(*window, {longPath, "/tmp/second.txt", "/tmp/third.txt"});
  EXPECT_EQ(window->StatusText(2), longPath.toStdString());
}

// Every button, list, edit and grid reaches the station through its own signal, as the operator
// uses it: a connection that is missing fails here.
TEST_F(TonwickFormTest, EveryControlReachesTheStationThroughItsSignal) {
  auto window = Start();
  window->show();
  QApplication::setActiveWindow(window.get());
  for (const char* button : {"DownloadButton", "LUTStartButton", "FilmGammaStartButton"}) {
    Click(*window, button);
    ASSERT_FALSE(boxes.empty()) << button;
    EXPECT_EQ(boxes.back().text, "NOT FILE LOAD") << button;
    EXPECT_EQ(boxes.back().caption, "PC->MONITOR") << button;
  }
  Click(*window, "ZeroCalButton");
  EXPECT_EQ(boxes.back().text, "Analyzer: Error") << "no instrument is configured";
  EXPECT_EQ(boxes.back().caption, "0-Cal.");

  QTest::keyClick(Named<QComboBox>(*window, "LUTComboBox"), Qt::Key_Down);
  EXPECT_EQ(settings.ReadStringSetting("LookUpTableSendTo"), "USER2");

  auto* offset = Named<QLineEdit>(*window, "AnalyzerOffsetCyEdit");
  offset->setFocus();
  QTest::keyClicks(offset, "0.02");
  QTest::keyClick(offset, Qt::Key_Tab);
  EXPECT_EQ(offset->text(), "+0.0200") << "checked when the operator leaves it";

  auto* grid = Named<QTableView>(*window, "YxyStringGrid");
  const QModelIndex cell = grid->model()->index(5, 3);
  grid->setCurrentIndex(cell);
  grid->edit(cell);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "42.5");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the view commits a cell on the next turn of the loop
  EXPECT_EQ(window->station().Held().calibration.greyLevels[4].Y, 42.5);
  grid->edit(grid->model()->index(6, 3));  // still open when the window closes: nothing reports

  std::string filter;
  window->dialogHook = [&](QFileDialog& dialog) {
    filter = dialog.nameFilters().join(";;").toStdString();
    return std::string();
  };
  ClickTool(*window, "FileOpen");
  EXPECT_EQ(filter.rfind("text File (*.txt)", 0), 0u) << filter;
  answers = {Operator::kAnswerCancel};
  ClickTool(*window, "FileExit");
  EXPECT_EQ(boxes.back().text, "EXIT?");
  EXPECT_TRUE(window->isVisible()) << "cancelled";
  window.reset();  // the cell editor opened above is still open
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A file a file manager hands over opens on the tab of its kind, as a drop there would.
TEST_F(TonwickFormTest, AFileGivenToTheProgramOpensOnTheTabOfItsKind) {
  settings.WriteStringSetting("LutFileType", "Davinci Resolve");
  std::string cube = "LUT_3D_SIZE 2\n";
  for (int i = 0; i < 8; ++i)
    cube += std::to_string(i & 1) + " " + std::to_string(i >> 1 & 1) + " " +
            std::to_string(i >> 2) + "\n";
  dir.Write("grade.CUBE", cube);
  auto window = Start();
  window->OpenGivenFile(dir.File("grade.CUBE"));
  EXPECT_EQ(window->FuncPageControl->currentIndex(), Operator::kLookUpTableTab);
  EXPECT_TRUE(window->station().Held().lutLoaded[0]);
  EXPECT_EQ(window->StatusText(2), dir.File("grade.CUBE"));

  CalibrationData data;
  data.greyLevels[7].Y = 3.5;
  test::StationSeam(window->station()).HoldCalibrationData(data);
  ASSERT_TRUE(
      test::StationSeam(window->station()).Files().WriteCalibrationFile(dir.File("suite.txt")));
  test::StationSeam(window->station()).HoldCalibrationData({});
  window->OpenGivenFile(dir.File("suite.txt"));
  EXPECT_EQ(window->FuncPageControl->currentIndex(), Operator::kCalibrationTab);
  EXPECT_EQ(window->station().Held().calibration.greyLevels[7].Y, 3.5);
  // Only the file's own name tells its kind: not its folder's, not a name without a dot.
  std::filesystem::create_directory(dir.Path() / "looks.cube");
  for (const std::string name : {"looks.cube/suite", "cube"}) {
    std::filesystem::copy_file(dir.File("suite.txt"), dir.File(name));
    window->FuncPageControl->setCurrentIndex(Operator::kLookUpTableTab);
    window->OpenGivenFile(dir.File(name));
    EXPECT_EQ(window->FuncPageControl->currentIndex(), Operator::kCalibrationTab) << name;
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TonwickFormTest, GridsHaveTheirSizesAndHeadersAndRefreshQuickly) {
  auto window = Start();
  EXPECT_EQ(window->YxyGridModel->rowCount(), 257);
  EXPECT_EQ(window->YxyGridModel->columnCount(), 4);
  EXPECT_EQ(window->ColorGridModel->rowCount(), 4);
  EXPECT_EQ(window->LutGridModel->rowCount(), 4097);
  EXPECT_EQ(window->FilmGammaGridModel->rowCount(), 1025);
  EXPECT_EQ(window->FilmGammaGridModel->columnCount(), 2);
  EXPECT_EQ(Cell(window->YxyStringGrid, 0, 0), "     No.");
  EXPECT_EQ(Cell(window->YxyStringGrid, 0, 256), "     255");
  EXPECT_EQ(Cell(window->YxyStringGrid, 3, 1), "     0.000");
  EXPECT_EQ(Cell(window->LUTStringGrid, 1, 0), "      R");
  EXPECT_EQ(Cell(window->LUTStringGrid, 0, 4096), "    4095");
  EXPECT_EQ(Cell(window->FilmGammaStringGrid, 1, 0), "      W");

  UserMemoryTables::FilmGammaTable ramp{};
  for (int i = 0; i < 1024; ++i) ramp[i] = i;
  test::StationSeam(window->station()).HoldFilmGamma(0, ramp);
  const auto start = test::ThreadCpuTime();
  window->RefreshLutTable();
  window->RefreshFilmGammaTable();
  EXPECT_LT(test::ThreadCpuTime() - start, std::chrono::milliseconds(200))
      << "a refresh must not build one item per cell";
  EXPECT_EQ(Cell(window->FilmGammaStringGrid, 1, 1), "       0");
  EXPECT_EQ(Cell(window->FilmGammaStringGrid, 1, 1024), "    1023");
  EXPECT_EQ(window->FilmGammaSeries->count(), 1024);
  EXPECT_EQ(window->FilmGammaSeries->at(1023), QPointF(1023, 1023));
}

TEST_F(TonwickFormTest, AnEscapedErrorIsShownAndTheWindowKeepsRunning) {
  auto window = Start();
  std::filesystem::remove(dir.File("Velluma.reg"));
  std::filesystem::create_directories(dir.File("Velluma.reg"));
  window->LUTComboBox->setCurrentIndex(2);
  emit window->LUTComboBox->activated(2);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to set data for 'LookUpTableSendTo'");
  EXPECT_EQ(boxes[0].caption, "Velluma");
  EXPECT_EQ(boxes[0].flags, 16);
}

TEST_F(TonwickFormTest, TypedValuesAreStoredAndKeptAsTypedOrRefusedWithTheConversionError) {
  auto window = Start();
  auto* model = window->YxyGridModel;
  EXPECT_TRUE(model->flags(model->index(10, 3)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->flags(model->index(10, 0)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->flags(model->index(0, 3)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model->setData(model->index(10, 3), "12.5", Qt::EditRole));
  EXPECT_EQ(window->station().Held().calibration.greyLevels[9].Y, 12.5);
  EXPECT_EQ(Cell(window->YxyStringGrid, 3, 10), "12.5");
  EXPECT_TRUE(boxes.empty());

  model->setData(model->index(11, 1), "-0.3", Qt::EditRole);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "'0-0.3' is not a valid floating point value");
  EXPECT_EQ(boxes[0].flags, 16);
  EXPECT_EQ(window->station().Held().calibration.greyLevels[10].x, 0.0);
  EXPECT_EQ(Cell(window->YxyStringGrid, 1, 11), "-0.3");
}

TEST_F(TonwickFormTest, TheLcdColorPageShowsThePrimariesWhenItIsShown) {
  auto window = Start();
  CalibrationData data;
  data.primaries[1] = {0.3, 0.6, 70.25};
  test::StationSeam(window->station()).HoldCalibrationData(data);
  window->RefreshCalibrationTables();
  EXPECT_EQ(Cell(window->ColorStringGrid, 3, 2), "") << "only the active page is filled";
  window->TablePageControl->setCurrentIndex(1);
  EXPECT_EQ(Cell(window->ColorStringGrid, 0, 2), "     G");
  EXPECT_EQ(Cell(window->ColorStringGrid, 1, 2), "    0.3000");
  EXPECT_EQ(Cell(window->ColorStringGrid, 2, 2), "    0.6000");
  EXPECT_EQ(Cell(window->ColorStringGrid, 3, 2), "    70.250");
  EXPECT_EQ(Cell(window->ColorStringGrid, 0, 0), "     ");
  window->ColorGridModel->setData(window->ColorGridModel->index(3, 3), "5", Qt::EditRole);
  EXPECT_EQ(window->station().Held().calibration.primaries[2].Y, 5.0);
}

TEST_F(TonwickFormTest, EachMemoryListShowsTheTableOfItsMemory) {
  auto window = Start();
  UserMemoryTables::LutTable lut{};
  lut[2][4095] = 1023;
  test::StationSeam(window->station()).HoldLut(0, lut);
  window->RefreshLutTable();
  EXPECT_EQ(Cell(window->LUTStringGrid, 3, 4096), "1023");
  QTest::keyClick(Named<QComboBox>(*window, "LUTComboBox"), Qt::Key_Down);
  EXPECT_EQ(Cell(window->LUTStringGrid, 3, 4096), "0") << "a memory never loaded shows zeros";
  EXPECT_EQ(settings.ReadStringSetting("LookUpTableSendTo"), "USER2");

  UserMemoryTables::FilmGammaTable ramp{};
  for (int i = 0; i < 1024; ++i) ramp[i] = i;
  test::StationSeam(window->station()).HoldFilmGamma(2, ramp);
  QTest::keyClick(Named<QComboBox>(*window, "FilmGammaComboBox"), Qt::Key_End);
  EXPECT_EQ(Cell(window->FilmGammaStringGrid, 0, 1), "       0");
  EXPECT_EQ(Cell(window->FilmGammaStringGrid, 1, 1), "       0");
  EXPECT_EQ(Cell(window->FilmGammaStringGrid, 0, 1024), "    1023");
  EXPECT_EQ(Cell(window->FilmGammaStringGrid, 1, 1024), "    1023");
  for (int i = 0; i < window->FilmGammaSeries->count(); ++i)
    ASSERT_EQ(window->FilmGammaSeries->at(i), QPointF(i, i)) << "a straight diagonal";
}

TEST_F(TonwickFormTest, NumbersInTheGridsKeepTheDecimalPointUnderADecimalCommaLocale) {
  auto window = Start();
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
  CalibrationData data;
  data.greyLevels[0] = {0.3127, 0.329, 1.5};
  test::StationSeam(window->station()).HoldCalibrationData(data);
  window->RefreshCalibrationTables();
  window->YxyGridModel->setData(window->YxyGridModel->index(2, 3), "2.25", Qt::EditRole);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(Cell(window->YxyStringGrid, 1, 1), "    0.3127");
  EXPECT_EQ(Cell(window->YxyStringGrid, 3, 1), "     1.500");
  EXPECT_EQ(window->station().Held().calibration.greyLevels[1].Y, 2.25);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TonwickFormTest, AutoThroughTheWindowFillsTheTablesAndReports) {
  MeasureThrough(bench);
  auto window = Start();
  window->show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();  // panel 1 paints its rectangle
  window->dialogHook = [this](QFileDialog&) { return dir.File("auto.txt"); };
  Click(*window, "AutoButton");
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text.rfind("Auto\t\tComplete.\nMaxBright\t\t 2", 0), 0u)
      << boxes.back().text;
  EXPECT_EQ(window->StatusText(2), dir.File("auto.txt"));
  EXPECT_EQ(window->X_edit->text(), "Auto Calibration Complete");
  EXPECT_EQ(window->YxyPanel->text(), "0") << "the final black patch";
  EXPECT_NE(Cell(window->YxyStringGrid, 3, 256), "     0.000") << "the grey table is shown";
  EXPECT_TRUE(window->AutoButton->isEnabled());
  EXPECT_EQ(window->StatusPanel1->FilledColour(), window->palette().color(QPalette::Button))
      << "the bar is cleared at the end";
}

// The station reports levels done; the panel turns them into pixels from its own geometry: the
// bar's right edge is left + width * done / total, truncated.
TEST(ProgressPanelTest, TheBarFollowsTheLevelsDoneInThePanelsGeometry) {
  ProgressPanel panel;
  panel.resize(100, 20);
  const struct {
    int done;
    int width;
  } steps[] = {{0, 0}, {1, 0}, {128, 50}, {129, 50}, {256, 100}};
  for (const auto& step : steps) {
    panel.ShowProgress(step.done, 256);
    EXPECT_EQ(panel.FilledArea(), QRect(0, 0, step.width, 20)) << step.done;
    EXPECT_EQ(panel.FilledColour(), QColor(0, 0, 255));
  }
  panel.Clear();
  EXPECT_EQ(panel.FilledArea(), panel.rect());
  EXPECT_EQ(panel.FilledColour(), panel.palette().color(QPalette::Button));
  ProgressPanel unpainted;
  unpainted.setFixedSize(0, 0);
  unpainted.ShowProgress(200, 256);
  EXPECT_TRUE(unpainted.FilledArea().isEmpty()) << "a panel without a size draws nothing";
}

TEST_F(TonwickFormTest, DialogsAndBoxesBehaveAsTheStationsDid) {
  auto window = Start();
  EXPECT_TRUE(window->SaveDialog1->testOption(QFileDialog::DontConfirmOverwrite))
      << "AUTO saves over the same file run after run";
  for (QLineEdit* edit : {window->CxEdit, window->AnalyzerOffsetCxEdit, window->X_edit})
    EXPECT_FALSE(edit->acceptDrops()) << "a dropped file goes to the window";
  window->AnalyzerOffsetCxEdit->setText("0.05");
  // A menu opening over the window, or another application taking the front, is not leaving.
  for (Qt::FocusReason passing : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
    QFocusEvent away(QEvent::FocusOut, passing);
    QApplication::sendEvent(window->AnalyzerOffsetCxEdit, &away);
    EXPECT_EQ(window->AnalyzerOffsetCxEdit->text(), "0.05") << passing;
  }
  for (Qt::FocusReason leaving : {Qt::MouseFocusReason, Qt::TabFocusReason}) {
    window->AnalyzerOffsetCxEdit->setText("0.05");
    QFocusEvent leave(QEvent::FocusOut, leaving);
    QApplication::sendEvent(window->AnalyzerOffsetCxEdit, &leave);
    EXPECT_EQ(window->AnalyzerOffsetCxEdit->text(), "+0.0500")
        << "checked when the operator leaves the edit, " << leaving;
  }
}

TEST_F(TonwickFormTest, ASettingThatCannotBeReadStopsStartUpButNotTheWindow) {
  settings.WriteStringSetting("MonitorSpeed", "fast");
  auto window = Start();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to get data for 'MonitorSpeed'");
  EXPECT_EQ(boxes[0].caption, "Velluma");
  EXPECT_EQ(window->ModelNameLabel->text(), "");
  Click(*window, "DownloadButton");  // nothing to send yet, but the station answers
  EXPECT_EQ(boxes.back().text, "NOT FILE LOAD");
  test::StationSeam(window->station()).HoldCalibrationData({});
  Click(*window, "DownloadButton");
  EXPECT_EQ(boxes.back().text, "Monitor: Communication Error") << "a link without a port";
}

TEST(FileFilterTest, WindowsFiltersBecomeQtFilters) {
  EXPECT_EQ(QtFileFilters("text File (*.txt)|*.txt|All Files(*.*)|*.*"),
            (QStringList{"text File (*.txt) (*.txt)", "All Files(*.*) (*)"}));
  EXPECT_EQ(QtFileFilters("CSV File (*.csv)|*.csv*|All Files(*.*)|*.*").front(),
            "CSV File (*.csv) (*.csv*)");
  EXPECT_EQ(QtFileFilters("Both|*.cub;*.cube").front(), "Both (*.cub *.cube)");
  EXPECT_TRUE(QtFileFilters("").isEmpty());
}

TEST_F(TonwickFormTest, TheDialogsTakeTheFilterAndTheProposedName) {
  auto window = Start();
  QStringList seen;
  window->dialogHook = [&](QFileDialog& dialog) {
    seen = dialog.nameFilters();
    return dialog.acceptMode() == QFileDialog::AcceptSave ? std::string("/tmp/out.txt")
                                                          : std::string();
  };
  std::string path;
  EXPECT_FALSE(window->OpenDialog("text File (*.txt)|*.txt", "", path));
  EXPECT_EQ(seen, QStringList{"text File (*.txt) (*.txt)"});
  EXPECT_TRUE(window->SaveDialog("text File (*.txt)|*.txt|All Files(*.*)|*.*", "a.txt", path));
  EXPECT_EQ(path, "/tmp/out.txt");
}

// Verify through the window with the CA-310 on a tinted bench: the run comes forward on its page,
// the verdict and the charts follow the patches, and the report is saved from the page. An Abort
// clicked while the window serves its messages after the black patch stops the run there.
TEST_F(TonwickFormTest, VerifyShowsTheRunOnItsPageAndSavesItsReportOrStopsOnAbort) {
  BenchProcess tinted({"--tint-x", "0.01", "--reply-delay", "10"});
  MeasureThrough(tinted);
  auto window = Start();
  window->show();
  Click(*window, "VerifyButton");
  auto* page = Named<VerificationPage>(*window, "VerificationPage");
  EXPECT_EQ(window->TablePageControl->currentWidget(), page);
  EXPECT_TRUE(Named<QLabel>(*window, "VerdictLabel")->text().startsWith("FAIL  ΔE2000 greys"));
  EXPECT_TRUE(window->X_edit->text().startsWith("Verification NG: "));
  EXPECT_TRUE(window->VerifyButton->isEnabled());
  EXPECT_FALSE(Named<QPushButton>(*window, "VerifyAbortButton")->isEnabled());

  window->dialogHook = [this](QFileDialog&) { return dir.File("report.html"); };
  Click(*window, "VerifySaveReportButton");
  EXPECT_NE(dir.Read("report.html").find("<svg"), std::string::npos);
  window->dialogHook = [this](QFileDialog&) { return dir.File("report.csv"); };
  Click(*window, "VerifySaveCsvButton");
  EXPECT_NE(dir.Read("report.csv").find("\ngrey 128,128,128,128,"), std::string::npos);

  // While the run goes on there is no verdict yet, whatever the patches so far show.
  auto* verdict = Named<QLabel>(*window, "VerdictLabel");
  QStringList shownWhileRunning;
  QTimer abortAfterBlack;
  QObject::connect(&abortAfterBlack, &QTimer::timeout, [&] {
    shownWhileRunning.append(verdict->text());
    if (window->YxyPanel->text() == "black") Click(*window, "VerifyAbortButton");
  });
  abortAfterBlack.start(0);
  Click(*window, "VerifyButton");
  abortAfterBlack.stop();
  EXPECT_EQ(window->X_edit->text(), "Verification stopped after 2 of 27 patches");
  EXPECT_TRUE(verdict->text().startsWith("2 of 27")) << verdict->text().toStdString();
  EXPECT_TRUE(verdict->text().contains("colours not measured")) << verdict->text().toStdString();
  for (const QString& text : shownWhileRunning)
    EXPECT_FALSE(text.startsWith("PASS") || text.startsWith("FAIL")) << text.toStdString();
  EXPECT_FALSE(page->Finished().has_value());
  EXPECT_FALSE(Named<QPushButton>(*window, "VerifySaveReportButton")->isEnabled());
}

// The target's controls store what is chosen at once and refuse what names nothing.
TEST_F(TonwickFormTest, TheVerificationTargetIsStoredAsItIsChosen) {
  auto window = Start();
  auto* curve = Named<QComboBox>(*window, "VerifyToneCurve");
  EXPECT_EQ(curve->currentText(), "2.2");
  curve->setCurrentIndex(curve->findText("BT.1886"));
  emit curve->textActivated("BT.1886");
  EXPECT_EQ(settings.ReadStringSetting("VerifyToneCurve"), "BT.1886");

  auto* average = Named<QLineEdit>(*window, "VerifyGreyAverage");
  average->setText("0.5");
  emit average->editingFinished();
  EXPECT_EQ(settings.ReadStringSetting("VerifyGreyAverage"), "0.5");

  auto* white = Named<QComboBox>(*window, "VerifyWhitePoint");
  white->setEditText("0.9,0.9");
  emit white->lineEdit()->editingFinished();
  EXPECT_EQ(settings.ReadStringSetting("VerifyWhitePoint"), "");
  EXPECT_EQ(white->currentText(), "D65");
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().caption, "Verify");
  EXPECT_EQ(boxes.back().text,
            "\"0.9,0.9\" is not a white point: D65, or x,y (each between 0 and 1)");
}

// File > History... reads the station's history; each filter narrows the table, the chart draws
// AUTO's MaxBright and the verifications' grey ΔE, and a history that cannot be read says why.
TEST_F(TonwickFormTest, TheHistoryDialogFiltersAndChartsTheRuns) {
  const std::string location = SampleHistoryFile();
  auto window = Start();
  window->station().UseHistory(location);
  THistoryForm& form = *window->HistoryForm;
  std::vector<std::pair<std::string, int>> seen;
  QTimer::singleShot(0, [&] {
    const auto look = [&](const std::string& what) {
      seen.emplace_back(what, form.RunGrid->model()->rowCount());
    };
    look("all");
    const auto series = form.Drift->View()->chart()->series();
    seen.emplace_back("MaxBright points", static_cast<QLineSeries*>(series[0])->count());
    seen.emplace_back("ΔE points", static_cast<QLineSeries*>(series[1])->count());
    form.KindCombo->setCurrentText("auto");
    look("auto");
    form.KindCombo->setCurrentText("verify");
    look("verify");
    form.KindCombo->setCurrentIndex(0);
    form.MonitorEdit->setText("COM9");
    emit form.MonitorEdit->editingFinished();
    look("COM9");
    form.MonitorEdit->setText("QX-7MR520");
    emit form.MonitorEdit->editingFinished();
    look("QX-7MR520");
    form.SinceEdit->setDate(QDate(2026, 11, 20));
    form.SinceCheck->setChecked(true);
    look("since 2026-11-20");
    form.RunGrid->sortByColumn(HistoryTableModel::Time, Qt::AscendingOrder);
    EXPECT_EQ(Cell(form.RunGrid, HistoryTableModel::Time, 0).toStdString(), "2026-11-21 18:40:00");
    form.accept();
  });
  Named<QAction>(*window, "FileHistory")->trigger();
  const std::vector<std::pair<std::string, int>> expected = {
      {"all", 24}, {"MaxBright points", 12}, {"ΔE points", 5},        {"auto", 12}, {"verify", 5},
      {"COM9", 0}, {"QX-7MR520", 24},        {"since 2026-11-20", 11}};
  EXPECT_EQ(seen, expected);

  form.SetLocation(dir.Path().string());  // a folder
  form.Load();
  EXPECT_EQ(form.RunGrid->model()->rowCount(), 0);
  EXPECT_TRUE(
      form.StatusLabel->text().startsWith("history " + QString::fromStdString(dir.Path().string())))
      << form.StatusLabel->text().toStdString();
}

}  // namespace
}  // namespace velluma
