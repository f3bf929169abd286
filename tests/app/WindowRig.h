#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"

class QAction;

namespace velluma::test {

// The main window as its tests and pictures start it: on a settings file in a scratch folder of
// its own (the monitor's port names nothing there until a bench is given), with a scaled clock,
// and every message box kept and answered from `answers` (OK when it is empty). Free of any test
// framework.
class WindowRig {
 public:
  struct Box {
    std::string text, caption;
    int flags;
  };

  explicit WindowRig(double clockScale = 0.01);
  ~WindowRig();
  WindowRig(const WindowRig&) = delete;
  WindowRig& operator=(const WindowRig&) = delete;

  // A window made and started (MainWindow::Start) on the settings as they are now.
  std::unique_ptr<MainWindow> Start();
  // The texts of the boxes shown so far.
  std::vector<std::string> BoxTexts() const;

  // The monitor of `bench`, measured with a CA-310 through the bench's CA server module
  // (under Wine, the stand-in COM server for CLSID_Ca200): the settings, and the variables a run
  // reads, for as long as this rig lives.
  void MeasureThrough(const BenchProcess& bench);
  // A history file in the scratch folder with five weeks of sample runs; its location.
  std::string SampleHistoryFile() const;

  TempDir dir;
  SettingsStore settings{dir.File("Velluma.reg")};
  ScaledClock clock;
  std::vector<Box> boxes;
  std::vector<int> answers;

 private:
  bool measuresThroughBench_ = false;
};

// The rig with a bench of its own, started with `benchOptions`, the window's monitor on it.
class BenchWindowRig : public WindowRig {
 public:
  explicit BenchWindowRig(std::vector<std::string> benchOptions = {}, double clockScale = 0.01);

  BenchProcess bench;
};

// The window's controls as the operator's tools find them, by their object names. A control that
// is not there throws, so a test that looks for one fails at once.
template <typename Control = QWidget>
Control* Named(const QObject& within, const char* name) {
  auto* found = within.findChild<Control*>(name);
  if (!found) throw std::runtime_error(std::string("no control named ") + name);
  return found;
}

// The window in its station's eyes: the operator's roles, which the window keeps private.
inline Operator& OperatorOf(MainWindow& window) {
  return window;
}

// A button of `window` clicked with the mouse, and the tool bar's button of an action.
void Click(const QObject& window, const char* button);
void ClickTool(const QObject& window, const char* action);
// The text of a cell of the grid named `grid`.
QString Cell(const QObject& window, const char* grid, int column, int row);
// Local files dragged onto the window and dropped there, when it takes them.
void Drop(QWidget& window, const QStringList& paths);
// Whether the save dialog, as the station asks for it now, asks before it replaces a file; the
// window's dialog hook is left unset.
bool SaveDialogConfirmsOverwrite(MainWindow& window);

// Triggers the action named `action` and runs `steps` while the modal dialog of type `Dialog` it
// opens is showing, then closes the dialog if `steps` left it open. False when no such dialog
// showed.
template <typename Dialog>
bool WhileDialogShows(QWidget& window, const char* action,
                      const std::function<void(Dialog&)>& steps) {
  bool showed = false;
  QTimer whenShown;
  whenShown.setSingleShot(true);
  QObject::connect(&whenShown, &QTimer::timeout, &window, [&] {
    auto* dialog = window.findChild<Dialog*>();
    if (!dialog || !dialog->isVisible()) return;
    showed = true;
    steps(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  whenShown.start(0);
  Named<QAction>(window, action)->trigger();
  return showed;
}

}  // namespace velluma::test
