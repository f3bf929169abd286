#include "tests/app/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include "calibration/StationSettings.h"
#include "history/OpenHistory.h"
#include "tests/app/SampleHistory.h"
#include "tests/support/Environment.h"

namespace velluma::test {

WindowRig::WindowRig(double clockScale) : clock(clockScale) {
  settings.LoadSettings(setting::kAll);
  settings.WriteStringSetting("MonitorPort", dir.File("no-monitor"));
}

WindowRig::~WindowRig() {
  if (!measuresThroughBench_) return;
  UnsetEnvironment("VELLUMA_BENCH_TCP");
  UnsetEnvironment("VELLUMA_BENCH_SOCKET");
  UnsetEnvironment("VELLUMA_CA_SERVER");
}

std::unique_ptr<MainWindow> WindowRig::Start() {
  auto window = std::make_unique<MainWindow>(settings, clock);
  window->messageBoxHook = [this](const std::string& text, const std::string& caption, int flags) {
    boxes.push_back({text, caption, flags});
    if (answers.empty()) return int{Operator::kAnswerOk};
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  };
  window->Start();
  return window;
}

std::vector<std::string> WindowRig::BoxTexts() const {
  std::vector<std::string> texts;
  for (const Box& box : boxes) texts.push_back(box.text);
  return texts;
}

void WindowRig::MeasureThrough(const BenchProcess& bench) {
  settings.WriteStringSetting("MonitorPort", bench.MonitorDevice());
  settings.WriteStringSetting("AnalizerModel", "CA-310");
#ifdef _WIN32
  // The stand-in COM server (winstandins/), which tests/CMakeLists.txt registers for the tests
  // that need it, measures through the bench's TCP control.
  SetEnvironment("VELLUMA_BENCH_TCP", bench.ControlAddress().c_str());
#else
  SetEnvironment("VELLUMA_BENCH_SOCKET", bench.SocketPath().c_str());
  SetEnvironment("VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH);
#endif
  measuresThroughBench_ = true;
}

std::string WindowRig::SampleHistoryFile() const {
  const std::string location = dir.File("history.db");
  WriteSampleHistory(*history::OpenHistory(location));
  return location;
}

BenchWindowRig::BenchWindowRig(std::vector<std::string> benchOptions, double clockScale)
    : WindowRig(clockScale), bench(std::move(benchOptions)) {
  settings.WriteStringSetting("MonitorPort", bench.MonitorDevice());
}

void Click(const QObject& window, const char* button) {
  QTest::mouseClick(Named<QPushButton>(window, button), Qt::LeftButton);
}

void ClickTool(const QObject& window, const char* action) {
  QWidget* button =
      Named<QToolBar>(window, "toolBar")->widgetForAction(Named<QAction>(window, action));
  if (!button) throw std::runtime_error(std::string("no tool bar button for ") + action);
  QTest::mouseClick(button, Qt::LeftButton);
}

QString Cell(const QObject& window, const char* grid, int column, int row) {
  return Named<QTableView>(window, grid)->model()->index(row, column).data().toString();
}

void Drop(QWidget& window, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
  data.setUrls(urls);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  if (enter.isAccepted()) QApplication::sendEvent(&window, &drop);
}

bool SaveDialogConfirmsOverwrite(MainWindow& window) {
  bool confirms = false;
  window.dialogHook = [&](QFileDialog& dialog) {
    confirms = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
    return std::string();
  };
  std::string path;
  OperatorOf(window).SaveDialog("text File (*.txt)|*.txt", "auto.txt", path);
  window.dialogHook = {};
  return confirms;
}

}  // namespace velluma::test
