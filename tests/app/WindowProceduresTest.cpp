// Procedures run from the window, offscreen, against the virtual bench measured through its CA
// server module: AUTO, Verify with its page, its report and its target, and Correct.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <sstream>

#include "app/ChartView.h"
#include "app/MainWindow.h"
#include "app/ProgressPanel.h"
#include "app/VerificationPage.h"
#include "tests/app/WindowRig.h"

namespace velluma {
namespace {

using test::Cell;
using test::Click;
using test::Named;
using test::OperatorOf;

class WindowProceduresTest : public ::testing::Test, protected test::BenchWindowRig {
 protected:
  static QString Text(MainWindow& window, const char* name) {
    if (auto* edit = qobject_cast<QLineEdit*>(Named(window, name))) return edit->text();
    return Named<QLabel>(window, name)->text();
  }
};

TEST_F(WindowProceduresTest, AutoThroughTheWindowFillsTheTablesAndReports) {
  MeasureThrough(bench);
  auto window = Start();
  window->show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();  // panel 1 paints its rectangle
  window->dialogHook = [this](QFileDialog&) { return dir.File("auto.txt"); };
  Click(*window, "autoButton");
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text.rfind("Auto\t\tComplete.\nMaxBright\t\t 2", 0), 0u)
      << boxes.back().text;
  EXPECT_EQ(OperatorOf(*window).StatusText(2), dir.File("auto.txt"));
  EXPECT_EQ(Text(*window, "messageLine"), "Auto Calibration Complete");
  EXPECT_EQ(Text(*window, "measuredPatchLabel"), "0") << "the final black patch";
  EXPECT_NE(Cell(*window, "greyLevelTable", 3, 256), "     0.000") << "the grey table is shown";
  EXPECT_TRUE(Named(*window, "autoButton")->isEnabled());
  EXPECT_EQ(Named<ProgressPanel>(*window, "progressPanel")->FilledColour(),
            window->palette().color(QPalette::Button))
      << "the bar is cleared at the end";
}

// Verify through the window with the CA-310 on a tinted bench: the run comes forward on its page,
// the verdict and the charts follow the patches, and the report is saved from the page, through
// a save dialog that asks before it replaces a file. An Abort clicked while the window serves its
// messages after the black patch stops the run there.
TEST_F(WindowProceduresTest, VerifyShowsTheRunOnItsPageAndSavesItsReportOrStopsOnAbort) {
  BenchProcess tinted({"--tint-x", "0.01", "--reply-delay", "10"});
  MeasureThrough(tinted);
  auto window = Start();
  window->show();
  Click(*window, "verifyButton");
  auto* page = Named<VerificationPage>(*window, "verificationPage");
  EXPECT_EQ(Named<QTabWidget>(*window, "tablePages")->currentWidget(), page);
  EXPECT_TRUE(Named<QLabel>(*window, "verdictLabel")->text().startsWith("FAIL  ΔE2000 greys"));
  EXPECT_TRUE(Text(*window, "messageLine").startsWith("Verification NG: "));
  EXPECT_TRUE(Named(*window, "verifyButton")->isEnabled());
  EXPECT_FALSE(Named(*window, "abortVerificationButton")->isEnabled());

  bool confirmsOverwrite = false;
  window->dialogHook = [&](QFileDialog& dialog) {
    confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
    return dir.File("report.html");
  };
  Click(*window, "saveReportButton");
  EXPECT_NE(dir.Read("report.html").find("<svg"), std::string::npos);
  EXPECT_TRUE(confirmsOverwrite);
  window->dialogHook = [this](QFileDialog&) { return dir.File("report.csv"); };
  Click(*window, "saveCsvButton");
  EXPECT_NE(dir.Read("report.csv").find("\ngrey 128,128,128,128,"), std::string::npos);
  EXPECT_FALSE(test::SaveDialogConfirmsOverwrite(*window))
      << "AUTO's data file is saved over again afterwards";

  // While the run goes on there is no verdict yet, whatever the patches so far show.
  auto* verdict = Named<QLabel>(*window, "verdictLabel");
  QStringList shownWhileRunning;
  QTimer abortAfterBlack;
  QObject::connect(&abortAfterBlack, &QTimer::timeout, [&] {
    shownWhileRunning.append(verdict->text());
    if (Text(*window, "measuredPatchLabel") == "black") Click(*window, "abortVerificationButton");
  });
  abortAfterBlack.start(0);
  Click(*window, "verifyButton");
  abortAfterBlack.stop();
  EXPECT_EQ(Text(*window, "messageLine"), "Verification stopped after 2 of 27 patches");
  EXPECT_TRUE(verdict->text().startsWith("2 of 27")) << verdict->text().toStdString();
  EXPECT_TRUE(verdict->text().contains("colours not measured")) << verdict->text().toStdString();
  for (const QString& text : shownWhileRunning)
    EXPECT_FALSE(text.startsWith("PASS") || text.startsWith("FAIL")) << text.toStdString();
  EXPECT_FALSE(page->Finished().has_value());
  EXPECT_FALSE(Named(*window, "saveReportButton")->isEnabled());
}

// Correct through the window with the CA-310, on the memory chosen beside its button: the
// question comes as a box, the controls hold still while it runs, the page shows both
// verifications, the LookUpTable tab shows what the memory holds, and the LUT and the report are
// saved from the page. An Abort while the panel is measured, and a No to the question, end the
// run with the message line saying what the memory holds, and nothing to save.
TEST_F(WindowProceduresTest, CorrectRunsOnTheChosenMemoryShowsBothRunsAndSavesItsLut) {
  MeasureThrough(bench);
  bench.SelectMemory("USER3");
  auto window = Start();
  window->show();
  QTest::keyClick(Named<QComboBox>(*window, "correctMemoryList"), Qt::Key_End);
  answers = {Dialogs::kAnswerYes};
  bool heldStill = true;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    heldStill = heldStill && !Named(*window, "correctButton")->isEnabled() &&
                !Named(*window, "correctMemoryList")->isEnabled();
  });
  watch.start(0);
  Click(*window, "correctButton");
  watch.stop();
  EXPECT_TRUE(heldStill);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.front().flags, Dialogs::kYesNoQuestion);
  EXPECT_NE(boxes.front().text.find("Select USER3 on the monitor's front panel"), std::string::npos);
  EXPECT_TRUE(Text(*window, "messageLine").startsWith("Correction complete: ΔE2000 greys average "));
  EXPECT_TRUE(Named<QLabel>(*window, "verdictLabel")
                  ->text()
                  .startsWith("PASS after the correction of USER3  ΔE2000 average: greys "));
  const ChartData& bars = Named<ChartView>(*window, "deltaEChart")->Data();
  ASSERT_FALSE(bars.series.empty());
  EXPECT_EQ(bars.series.front().name, "before");
  EXPECT_EQ(bars.series.front().points.size(), 27);
  EXPECT_TRUE(Named(*window, "correctButton")->isEnabled());

  QTest::keyClick(Named<QComboBox>(*window, "lutMemoryList"), Qt::Key_End);
  std::istringstream heldRed(bench.State()["lut.USER3.0"]);
  std::string node0, node1;
  heldRed >> node0 >> node1;
  EXPECT_EQ(Cell(*window, "lutTable", 1, 2).toStdString(), node1) << "what the memory holds";
  window->dialogHook = [this](QFileDialog&) { return dir.File("correction.cube"); };
  Click(*window, "saveLutButton");
  EXPECT_EQ(dir.Read("correction.cube").rfind("TITLE \"Velluma correction\"\nLUT_3D_SIZE 16\n", 0),
            0u);
  window->dialogHook = [this](QFileDialog&) { return dir.File("correction.html"); };
  Click(*window, "saveReportButton");
  EXPECT_NE(dir.Read("correction.html").find("<h2>Before and after</h2>"), std::string::npos);

  QTimer abortWhileMeasuring;
  QObject::connect(&abortWhileMeasuring, &QTimer::timeout, [&] {
    if (Named<QLabel>(*window, "verdictLabel")->text().contains("measuring the panel, 2 of"))
      Click(*window, "abortVerificationButton");
  });
  const std::pair<int, QString> ends[] = {
      {Dialogs::kAnswerYes,
       "Correction stopped while measuring the panel; USER3 holds the identity LUT and a linear "
       "film gamma"},
      {Dialogs::kAnswerNo,
       "Correction not made: USER3 was not selected on the monitor; USER3 holds the identity LUT "
       "and a linear film gamma"}};
  for (const auto& [answer, message] : ends) {
    answers = {answer};
    abortWhileMeasuring.start(0);
    Click(*window, "correctButton");
    abortWhileMeasuring.stop();
    EXPECT_EQ(Text(*window, "messageLine"), message);
    EXPECT_FALSE(Named(*window, "saveLutButton")->isEnabled());
    EXPECT_FALSE(Named(*window, "saveReportButton")->isEnabled());
  }
}

// The target's controls, each named after its setting, store what is chosen at once and refuse
// what names nothing.
TEST_F(WindowProceduresTest, TheVerificationTargetIsStoredAsItIsChosen) {
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

}  // namespace
}  // namespace velluma
