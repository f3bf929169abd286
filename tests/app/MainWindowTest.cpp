// The main window, offscreen, against a running virtual bench: start-up, the file commands, the
// locking of the controls, drops and the close box, and every control's way to the station.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "app/MainWindow.h"
#include "platform/Folders.h"
#include "tests/app/WindowRig.h"
#include "tests/support/StationSeam.h"

namespace velluma {
namespace {

using test::Click;
using test::ClickTool;
using test::Drop;
using test::Named;
using test::OperatorOf;

class MainWindowTest : public ::testing::Test, protected test::BenchWindowRig {
 protected:
  static QString ModelName(MainWindow& window) {
    return Named<QLabel>(window, "modelNameLabel")->text();
  }

  static QAction* Action(MainWindow& window, const char* name) {
    return Named<QAction>(window, name);
  }

  static QTabWidget* FunctionTabs(MainWindow& window) {
    return Named<QTabWidget>(window, "functionTabs");
  }
};

TEST_F(MainWindowTest, StartUpShowsTheModelAndTheStartPages) {
  auto window = Start();
  EXPECT_EQ(window->windowTitle(), "Velluma");
  EXPECT_EQ(ModelName(*window), "QX-7MR520");
  EXPECT_EQ(OperatorOf(*window).StatusText(0), "");
  EXPECT_EQ(OperatorOf(*window).StatusText(2), "Untitled.txt");
  QTabWidget* tabs = FunctionTabs(*window);
  EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "Calibration");
  auto* tablePages = Named<QTabWidget>(*window, "tablePages");
  EXPECT_EQ(tablePages->tabText(tablePages->currentIndex()), "Yxy Table");
  EXPECT_TRUE(window->acceptDrops());
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(Action(*window, "newAction")->isVisible());
  EXPECT_FALSE(Action(*window, "newAction")->isEnabled());
}

// What the first screen does not show is made when it is first asked for: the file dialogs (each
// reads the icon theme for its model of the file system) and the other dialogs.
TEST_F(MainWindowTest, StartUpMakesNoDialogTheFirstScreenDoesNotShow) {
  auto window = Start();
  EXPECT_EQ(window->findChildren<QDialog*>().size(), 0);
  std::string path;
  window->dialogHook = [](QFileDialog&) { return std::string(); };
  OperatorOf(*window).OpenDialog("text File (*.txt)|*.txt", "", path);
  EXPECT_EQ(window->findChildren<QFileDialog*>().size(), 1);
  OperatorOf(*window).OpenDialog("text File (*.txt)|*.txt", "", path);
  EXPECT_EQ(window->findChildren<QFileDialog*>().size(), 1) << "made once, then kept";
}

// The Tab key goes through the controls as they stand, whenever a part of the window was made:
// the charts of the Verification page between its page tabs and the target, the film-gamma curve
// between its page tab and the message line.
TEST_F(MainWindowTest, TheTabKeyVisitsTheControlsInTheOrderTheyStand) {
  auto window = Start();
  window->show();
  Named<QTabWidget>(*window, "tablePages")->setCurrentWidget(Named(*window, "verificationPage"));
  FunctionTabs(*window)->setCurrentIndex(Operator::kFilmGammaTab);
  FunctionTabs(*window)->setCurrentIndex(Operator::kCalibrationTab);
  const std::vector<std::string> expected = {
      "verificationChartPages", "toneCurveChart", "deltaEChart", "chromaticityChart",
      "VerifyWhitePoint",       "saveCsvButton",  "lutTable",    "filmGammaSendButton",
      "filmGammaPages",         "filmGammaChart", "messageLine"};
  std::vector<std::string> visited;
  for (QWidget* w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
    // A tab widget takes the focus through its tab bar.
    const QWidget* named = w->parentWidget() && qobject_cast<QTabWidget*>(w->parentWidget()) &&
                                   w->parentWidget()->focusProxy() == w
                               ? w->parentWidget()
                               : w;
    const std::string name = named->objectName().toStdString();
    if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() &&
        std::find(expected.begin(), expected.end(), name) != expected.end())
      visited.push_back(name);
  }
  EXPECT_EQ(visited, expected);
}

TEST_F(MainWindowTest, WithoutAnAnsweringMonitorTheLabelStaysEmptyAndDropsAreRefused) {
  bench.AddFault("MCO:1 silent");
  auto silent = Start();
  EXPECT_EQ(ModelName(*silent), "");
  EXPECT_FALSE(silent->acceptDrops());
  settings.WriteStringSetting("MonitorPort", dir.File("no-such-port"));
  auto missing = Start();
  EXPECT_EQ(ModelName(*missing), "");
  EXPECT_FALSE(missing->acceptDrops());
  Drop(*missing, {"/tmp/file.txt"});
  EXPECT_EQ(OperatorOf(*missing).StatusText(2), "Untitled.txt");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, TheStoredMemoriesAreSelectedAndAChoiceIsStored) {
  settings.WriteStringSetting("LookUpTableSendTo", "USER3");
  settings.WriteStringSetting("FilmGammaSendTo", "USER4");
  settings.WriteStringSetting("CorrectMemory", "USER2");
  auto window = Start();
  EXPECT_EQ(Named<QComboBox>(*window, "lutMemoryList")->currentText(), "USER3");
  EXPECT_EQ(Named<QComboBox>(*window, "filmGammaMemoryList")->currentText(), "USER1");
  EXPECT_EQ(Named<QComboBox>(*window, "correctMemoryList")->currentText(), "USER2");
  QTest::keyClick(Named<QComboBox>(*window, "filmGammaMemoryList"), Qt::Key_Down);
  EXPECT_EQ(settings.ReadStringSetting("FilmGammaSendTo"), "USER2");
  QTest::keyClick(Named<QComboBox>(*window, "correctMemoryList"), Qt::Key_Down);
  EXPECT_EQ(settings.ReadStringSetting("CorrectMemory"), "USER3");
}

TEST_F(MainWindowTest, TabsKeepTheirFileNamesAndEnableTheFileCommands) {
  auto window = Start();
  FunctionTabs(*window)->setCurrentIndex(Operator::kLookUpTableTab);
  EXPECT_EQ(OperatorOf(*window).StatusText(2), "");
  EXPECT_FALSE(Action(*window, "saveAction")->isEnabled());
  EXPECT_FALSE(Action(*window, "saveAsAction")->isEnabled());
  EXPECT_TRUE(Action(*window, "openAction")->isEnabled());
  FunctionTabs(*window)->setCurrentIndex(Operator::kCalibrationTab);
  EXPECT_EQ(OperatorOf(*window).StatusText(2), "Untitled.txt");
  EXPECT_TRUE(Action(*window, "saveAction")->isEnabled());
  EXPECT_TRUE(Action(*window, "saveAsAction")->isEnabled());
}

TEST_F(MainWindowTest, LockingTouchesTheNineControlsInOrder) {
  auto window = Start();
  std::vector<QWidget*> order;
  for (const char* name : {"autoButton", "zeroCalibrationButton", "sendCalibrationButton",
                           "analyzerOffsetXEdit", "analyzerOffsetYEdit", "lutSendButton",
                           "lutMemoryList", "filmGammaSendButton", "filmGammaMemoryList"})
    order.push_back(Named(*window, name));
  struct Recorder : QObject {
    std::vector<QObject*> seen;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange)
        seen.push_back(watched);
      return false;
    }
  } recorder;
  for (QWidget* w : order) w->installEventFilter(&recorder);
  OperatorOf(*window).LockControls();
  EXPECT_EQ(recorder.seen, std::vector<QObject*>(order.begin(), order.end()));
  EXPECT_FALSE(Named(*window, "autoButton")->isEnabled());
  EXPECT_TRUE(Named<QLineEdit>(*window, "analyzerOffsetXEdit")->isReadOnly());
  EXPECT_TRUE(Action(*window, "exitAction")->isEnabled()) << "the menu is not locked";
  EXPECT_TRUE(FunctionTabs(*window)->isEnabled());
  recorder.seen.clear();
  OperatorOf(*window).UnlockControls();
  EXPECT_EQ(recorder.seen, std::vector<QObject*>(order.begin(), order.end()));
  EXPECT_TRUE(Named(*window, "lutMemoryList")->isEnabled());
  EXPECT_FALSE(Named<QLineEdit>(*window, "analyzerOffsetYEdit")->isReadOnly());
}

TEST_F(MainWindowTest, ExitCancelledLeavesEverythingAndOkEndsTheSession) {
  auto window = Start();
  window->show();
  answers = {Operator::kAnswerCancel};
  Action(*window, "exitAction")->trigger();
  EXPECT_TRUE(test::StationSeam(window->TheStation()).Link());
  EXPECT_TRUE(window->isVisible());
  Action(*window, "exitAction")->trigger();
  EXPECT_FALSE(test::StationSeam(window->TheStation()).Link());
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "EXIT?");
  EXPECT_EQ(boxes[0].caption, "Application");
  EXPECT_EQ(boxes[0].flags, 17);
}

TEST_F(MainWindowTest, DropsGoToTheStationOnlyWhenNoProcedureRuns) {
  auto window = Start();
  {
    test::StationSeam::RunningProcedure running(window->TheStation());
    EXPECT_FALSE(Action(*window, "exitAction")->isEnabled());
    EXPECT_FALSE(Action(*window, "propertyAction")->isEnabled());
    EXPECT_FALSE(Action(*window, "openAction")->isEnabled());
    Drop(*window, {"/tmp/first.txt"});
    EXPECT_EQ(OperatorOf(*window).StatusText(2), "Untitled.txt");
  }
  EXPECT_TRUE(Action(*window, "exitAction")->isEnabled());
  window->show();
  {
    test::StationSeam::RunningProcedure running(window->TheStation());
    EXPECT_FALSE(window->close()) << "the close box waits for the procedure";
  }
  // A path longer than 255 characters, to a file that is there, is taken whole, and shown with
  // the system's separators (Qt gives a dropped file's path with "/" on Windows too).
  const std::string folder = dir.File(std::string(150, 'a') + "/" + std::string(150, 'b'));
  std::filesystem::create_directories(folder);
  const QString longPath = QString::fromStdString(folder + "/first.txt");
  ASSERT_TRUE(
      test::StationSeam(window->TheStation()).Files().WriteCalibrationFile(longPath.toStdString()));
  Drop(*window, {longPath, "/tmp/second.txt", "/tmp/third.txt"});
  EXPECT_EQ(OperatorOf(*window).StatusText(2), WithSystemSeparators(longPath.toStdString()));
}

// Every button, list, edit and grid reaches the station through its own signal, as the operator
// uses it: a connection that is missing fails here.
TEST_F(MainWindowTest, EveryControlReachesTheStationThroughItsSignal) {
  auto window = Start();
  window->show();
  QApplication::setActiveWindow(window.get());
  for (const char* button : {"sendCalibrationButton", "lutSendButton", "filmGammaSendButton"}) {
    Click(*window, button);
    ASSERT_FALSE(boxes.empty()) << button;
    EXPECT_EQ(boxes.back().text, "NOT FILE LOAD") << button;
    EXPECT_EQ(boxes.back().caption, "PC->MONITOR") << button;
  }
  Click(*window, "zeroCalibrationButton");
  EXPECT_EQ(boxes.back().text, "Analyzer: Error") << "no instrument is configured";
  EXPECT_EQ(boxes.back().caption, "0-Cal.");

  QTest::keyClick(Named<QComboBox>(*window, "lutMemoryList"), Qt::Key_Down);
  EXPECT_EQ(settings.ReadStringSetting("LookUpTableSendTo"), "USER2");

  auto* offset = Named<QLineEdit>(*window, "analyzerOffsetYEdit");
  offset->setFocus();
  QTest::keyClicks(offset, "0.02");
  QTest::keyClick(offset, Qt::Key_Tab);
  EXPECT_EQ(offset->text(), "+0.0200") << "checked when the operator leaves it";

  auto* grid = Named<QTableView>(*window, "greyLevelTable");
  const QModelIndex cell = grid->model()->index(5, 3);
  grid->setCurrentIndex(cell);
  grid->edit(cell);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "42.5");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the view commits a cell on the next turn of the loop
  EXPECT_EQ(window->TheStation().Held().calibration.greyLevels[4].Y, 42.5);
  grid->edit(grid->model()->index(6, 3));  // still open when the window closes: nothing reports

  std::string filter;
  window->dialogHook = [&](QFileDialog& dialog) {
    filter = dialog.nameFilters().join(";;").toStdString();
    return std::string();
  };
  ClickTool(*window, "openAction");
  EXPECT_EQ(filter.rfind("text File (*.txt)", 0), 0u) << filter;
  answers = {Operator::kAnswerCancel};
  ClickTool(*window, "exitAction");
  EXPECT_EQ(boxes.back().text, "EXIT?");
  EXPECT_TRUE(window->isVisible()) << "cancelled";
  window.reset();  // the cell editor opened above is still open
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A file a file manager hands over opens on the tab of its kind, as a drop there would.
TEST_F(MainWindowTest, AFileGivenToTheProgramOpensOnTheTabOfItsKind) {
  settings.WriteStringSetting("LutFileType", "Davinci Resolve");
  std::string cube = "LUT_3D_SIZE 2\n";
  for (int i = 0; i < 8; ++i)
    cube += std::to_string(i & 1) + " " + std::to_string(i >> 1 & 1) + " " +
            std::to_string(i >> 2) + "\n";
  dir.Write("grade.CUBE", cube);
  auto window = Start();
  QTabWidget* tabs = FunctionTabs(*window);
  window->OpenGivenFile(dir.File("grade.CUBE"));
  EXPECT_EQ(tabs->currentIndex(), Operator::kLookUpTableTab);
  EXPECT_TRUE(window->TheStation().Held().lutLoaded[0]);
  EXPECT_EQ(OperatorOf(*window).StatusText(2), dir.File("grade.CUBE"));

  CalibrationData data;
  data.greyLevels[7].Y = 3.5;
  test::StationSeam(window->TheStation()).HoldCalibrationData(data);
  ASSERT_TRUE(
      test::StationSeam(window->TheStation()).Files().WriteCalibrationFile(dir.File("suite.txt")));
  test::StationSeam(window->TheStation()).HoldCalibrationData({});
  window->OpenGivenFile(dir.File("suite.txt"));
  EXPECT_EQ(tabs->currentIndex(), Operator::kCalibrationTab);
  EXPECT_EQ(window->TheStation().Held().calibration.greyLevels[7].Y, 3.5);
  // Only the file's own name tells its kind: not its folder's, not a name without a dot.
  std::filesystem::create_directory(dir.Path() / "looks.cube");
  for (const std::string name : {"looks.cube/suite", "cube"}) {
    std::filesystem::copy_file(dir.File("suite.txt"), dir.File(name));
    tabs->setCurrentIndex(Operator::kLookUpTableTab);
    window->OpenGivenFile(dir.File(name));
    EXPECT_EQ(tabs->currentIndex(), Operator::kCalibrationTab) << name;
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, AnEscapedErrorIsShownAndTheWindowKeepsRunning) {
  auto window = Start();
  std::filesystem::remove(dir.File("Velluma.reg"));
  std::filesystem::create_directories(dir.File("Velluma.reg"));
  auto* list = Named<QComboBox>(*window, "lutMemoryList");
  list->setCurrentIndex(2);
  emit list->activated(2);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to set data for 'LookUpTableSendTo'");
  EXPECT_EQ(boxes[0].caption, "Velluma");
  EXPECT_EQ(boxes[0].flags, 16);
}

TEST_F(MainWindowTest, DialogsAndBoxesBehaveAsTheStationsDid) {
  auto window = Start();
  EXPECT_FALSE(test::SaveDialogConfirmsOverwrite(*window))
      << "AUTO saves over the same file run after run";
  for (const char* name : {"measuredXEdit", "analyzerOffsetXEdit", "messageLine"})
    EXPECT_FALSE(Named(*window, name)->acceptDrops()) << "a dropped file goes to the window";
  auto* offset = Named<QLineEdit>(*window, "analyzerOffsetXEdit");
  offset->setText("0.05");
  // A menu opening over the window, or another application taking the front, is not leaving.
  for (Qt::FocusReason passing : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
    QFocusEvent away(QEvent::FocusOut, passing);
    QApplication::sendEvent(offset, &away);
    EXPECT_EQ(offset->text(), "0.05") << passing;
  }
  for (Qt::FocusReason leaving : {Qt::MouseFocusReason, Qt::TabFocusReason}) {
    offset->setText("0.05");
    QFocusEvent leave(QEvent::FocusOut, leaving);
    QApplication::sendEvent(offset, &leave);
    EXPECT_EQ(offset->text(), "+0.0500")
        << "checked when the operator leaves the edit, " << leaving;
  }
}

TEST_F(MainWindowTest, ASettingThatCannotBeReadStopsStartUpButNotTheWindow) {
  settings.WriteStringSetting("MonitorSpeed", "fast");
  auto window = Start();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to get data for 'MonitorSpeed'");
  EXPECT_EQ(boxes[0].caption, "Velluma");
  EXPECT_EQ(ModelName(*window), "");
  Click(*window, "sendCalibrationButton");  // nothing to send yet, but the station answers
  EXPECT_EQ(boxes.back().text, "NOT FILE LOAD");
  test::StationSeam(window->TheStation()).HoldCalibrationData({});
  Click(*window, "sendCalibrationButton");
  EXPECT_EQ(boxes.back().text, "Monitor: Communication Error") << "a link without a port";
}

TEST_F(MainWindowTest, TheDialogsTakeTheFilterAndTheProposedName) {
  auto window = Start();
  QStringList seen;
  window->dialogHook = [&](QFileDialog& dialog) {
    seen = dialog.nameFilters();
    return dialog.acceptMode() == QFileDialog::AcceptSave ? std::string("/tmp/out.txt")
                                                          : std::string();
  };
  std::string path;
  EXPECT_FALSE(OperatorOf(*window).OpenDialog("text File (*.txt)|*.txt", "", path));
  EXPECT_EQ(seen, QStringList{"text File (*.txt) (*.txt)"});
  EXPECT_TRUE(
      OperatorOf(*window).SaveDialog("text File (*.txt)|*.txt|All Files(*.*)|*.*", "a.txt", path));
  EXPECT_EQ(path, "/tmp/out.txt");
}

}  // namespace
}  // namespace velluma
