#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calibration/Operator.h"
#include "calibration/Station.h"

class QAction;
class QFileDialog;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace velluma {

class AboutDialog;
class CalibrationTab;
class FilmGammaTab;
class HistoryDialog;
class LookUpTableTab;
class PropertyDialog;
class StatusPanels;

// The main window: the function tabs (Calibration, LookUpTable, Film Gamma), the message line,
// the menu, the tool bar and the status bar. It is the station's Operator, and its operator
// roles are reached through that interface; it hands every control's request to a station verb,
// all in one table (ConnectControls). The dialogs the first screen does not show (open, save,
// Property, History, Version) are made when they are first used. Controls named
// "functionTabs", "messageLine", "modelNameLabel", "toolBar", the actions "newAction",
// "openAction", "saveAction", "saveAsAction", "propertyAction", "historyAction", "exitAction",
// "versionAction", and those of the tabs and the status bar.
class MainWindow : public QMainWindow, public Operator {
  Q_OBJECT

 public:
  using MessageBoxHook =
      std::function<int(const std::string& text, const std::string& caption, int flags)>;
  using FileDialogHook = std::function<std::string(QFileDialog& dialog)>;

  MainWindow(SettingsStore& settings, Clock& clock, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start-up; an error that stops it is shown and the window goes on.
  void Start();
  // A file given to the program (a file manager's "Open with"): opened once the window has
  // started, as if dropped on the tab its kind belongs to.
  void OpenGivenFile(const std::string& path);

  Station& TheStation() { return *station_; }

  // Tests answer message boxes here instead of a modal box.
  MessageBoxHook messageBoxHook;
  // Tests answer the open and save dialogs here: given the dialog, the path chosen or "".
  FileDialogHook dialogHook;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The files the Verification page saves of its last finished run.
  enum class RunFile { Report, Csv, Lut };

  // Dialogs
  int MessageBox(const std::string& text, const std::string& caption, int flags) override;
  bool OpenDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  bool SaveDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  void ShowPropertyDialog() override;
  // StatusView
  void SetStatusText(int panel, const std::string& text, bool repaintNow) override;
  std::string StatusText(int panel) const override;
  void ShowMessageLine(const std::string& text) override;
  void LockControls() override;
  void UnlockControls() override;
  void SetProcedureRunning(bool running) override;
  void ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                       const std::string& patchName) override;
  void ShowProgress(int done, int total) override;
  void ClearProgress() override;
  void ProcessMessages() override;
  void ShowModelName(const std::string& model) override;
  void AcceptDroppedFiles() override;
  // Views
  void RefreshCalibrationTables() override;
  void RefreshLutTable() override;
  void RefreshFilmGammaTable() override;
  int LutMemory() const override;
  int FilmGammaMemory() const override;
  void SelectLutMemory(const std::string& text) override;
  void SelectFilmGammaMemory(const std::string& text) override;
  int ActiveTab() const override;
  void ShowStartPages() override;
  std::string AnalyzerOffsetText(int axis) const override;
  void SetAnalyzerOffsetText(int axis, const std::string& text) override;

  void BuildActions();
  void BuildMenu();
  void BuildToolBar();
  void ConnectControls();
  // Connects `signal` of `sender` to `verb`, guarded; `verb` takes the signal's arguments or none.
  template <typename Sender, typename Owner, typename... Args, typename Verb>
  void On(Sender* sender, void (Owner::*signal)(Args...), Verb verb);
  // Runs a step; an error that escapes it is shown, as the application's top-level handler would.
  void Guarded(const std::function<void()>& step);

  void FunctionTabChanged();
  void UpdateFileActions();
  void SetProcedureControls(bool usable);
  void Verify();
  void Correct();
  void SaveRunFile(RunFile file);
  void ShowHistory();
  void ShowVersion();
  QFileDialog& OpenFileDialog();
  QFileDialog& SaveFileDialog();
  bool RunFileDialog(QFileDialog& dialog, const std::string& filter, const std::string& fileName,
                     std::string& path);

  SettingsStore& settings_;
  std::unique_ptr<Station> station_;
  bool procedureRunning_ = false;
  bool acceptDrops_ = false;

  QAction* newAction_ = nullptr;
  QAction* openAction_ = nullptr;
  QAction* saveAction_ = nullptr;
  QAction* saveAsAction_ = nullptr;
  QAction* propertyAction_ = nullptr;
  QAction* historyAction_ = nullptr;
  QAction* exitAction_ = nullptr;
  QAction* versionAction_ = nullptr;
  QLabel* modelName_ = nullptr;
  QTabWidget* functionTabs_ = nullptr;
  CalibrationTab* calibration_ = nullptr;
  LookUpTableTab* lookUpTable_ = nullptr;
  FilmGammaTab* filmGamma_ = nullptr;
  QLineEdit* messageLine_ = nullptr;
  StatusPanels* status_ = nullptr;
  // The table's connections, undone before the station goes.
  std::vector<QMetaObject::Connection> connections_;

  // Made when first used, then kept: each dialog keeps where it was and what was chosen.
  QFileDialog* openDialog_ = nullptr;
  QFileDialog* saveDialog_ = nullptr;
  PropertyDialog* propertyDialog_ = nullptr;
  HistoryDialog* historyDialog_ = nullptr;
  AboutDialog* aboutDialog_ = nullptr;
};

}  // namespace velluma
