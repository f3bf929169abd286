#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "calibration/Operator.h"
#include "calibration/Station.h"

class QAction;
class QFileDialog;
class QFocusEvent;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QLineSeries;
class QGroupBox;

namespace velluma {

class NumberGridModel;
class TAboutBox;
class THistoryForm;
class TPropertyForm;
class ProgressPanel;
class StringGridModel;
class VerificationPage;

// The main window: lays out the controls, shows what the station tells the operator, and hands
// every command to the station. Each handler keeps the name of its control and event.
class TTonwickForm : public QMainWindow, public Operator {
  Q_OBJECT

 public:
  using MessageBoxHook =
      std::function<int(const std::string& text, const std::string& caption, int flags)>;

  TTonwickForm(SettingsStore& settings, Clock& clock, QWidget* parent = nullptr);
  ~TTonwickForm() override;

  // Start-up; an error that stops it is shown and the window goes on.
  void FormCreate();
  // A file given to the program (a file manager's "Open with"): opened once the window has
  // started, as if dropped on the tab its kind belongs to.
  void OpenGivenFile(const std::string& path);

  Station& station() { return *station_; }

  // Tests answer message boxes here instead of a modal box.
  MessageBoxHook messageBoxHook;
  // Tests answer the open and save dialogs here: given the dialog, the path chosen or "".
  std::function<std::string(QFileDialog& dialog)> dialogHook;

  // Operator
  int MessageBox(const std::string& text, const std::string& caption, int flags) override;
  void SetStatusText(int panel, const std::string& text, bool repaintNow) override;
  std::string StatusText(int panel) const override;
  void ShowMessageLine(const std::string& text) override;
  void LockControls() override;
  void UnlockControls() override;
  void SetProcedureRunning(bool running) override;
  std::string AnalyzerOffsetText(int axis) const override;
  void SetAnalyzerOffsetText(int axis, const std::string& text) override;
  void ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                       const std::string& patchName) override;
  void ShowProgress(int done, int total) override;
  void ClearProgress() override;
  void ProcessMessages() override;
  void ShowModelName(const std::string& model) override;
  void AcceptDroppedFiles() override;
  int LutMemory() const override;
  int FilmGammaMemory() const override;
  void SelectLutMemory(const std::string& text) override;
  void SelectFilmGammaMemory(const std::string& text) override;
  int ActiveTab() const override;
  void ShowStartPages() override;
  bool OpenDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  bool SaveDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override;
  void ShowPropertyDialog() override;
  void RefreshCalibrationTables() override;
  void RefreshLutTable() override;
  void RefreshFilmGammaTable() override;

  // Handlers.
  void FormResize() {}
  void FuncPageControlChange();
  void TablePageControlChange();
  void FileExitExecute();
  void DropFiles(const std::vector<std::string>& paths);
  void LUTComboBoxChange();
  void ZeroCalButtonClick();
  void FileOpenExecute();
  void FilePropertyExecute();
  void FileHistoryExecute();
  void HelpAboutExecute();
  void DownloadButtonClick();
  void LUTStartButtonClick();
  void FilmGammaStartButtonClick();
  void AutoButtonClick();
  void VerifyButtonClick();
  void VerifySaveReportClick();
  void VerifySaveCsvClick();
  void FileNewExecute();
  void FileSaveExecute();
  void FileSaveAsExecute();
  void AnalyzerOffsetCxEditChange();
  void AnalyzerOffsetCyEditChange();
  void FilmGammaComboBoxChange();

  // The controls, by their names.
  QLabel* ModelNameLabel = nullptr;
  QTabWidget* FuncPageControl = nullptr;
  QLineEdit* X_edit = nullptr;
  QPushButton* AutoButton = nullptr;
  QPushButton* DownloadButton = nullptr;
  QPushButton* ZeroCalButton = nullptr;
  QPushButton* VerifyButton = nullptr;
  QLabel* YxyPanel = nullptr;
  QLineEdit* CxEdit = nullptr;
  QLineEdit* CyEdit = nullptr;
  QLineEdit* Yedit = nullptr;
  QLineEdit* AnalyzerOffsetCxEdit = nullptr;
  QLineEdit* AnalyzerOffsetCyEdit = nullptr;
  QTabWidget* TablePageControl = nullptr;
  QTableView* YxyStringGrid = nullptr;
  QTableView* ColorStringGrid = nullptr;
  VerificationPage* VerificationPage1 = nullptr;
  QTableView* LUTStringGrid = nullptr;
  QComboBox* LUTComboBox = nullptr;
  QPushButton* LUTStartButton = nullptr;
  QTableView* FilmGammaStringGrid = nullptr;
  QComboBox* FilmGammaComboBox = nullptr;
  QPushButton* FilmGammaStartButton = nullptr;
  QTabWidget* FilmGammaPageControl = nullptr;
  QChartView* FilmGammaChart = nullptr;
  QLineSeries* FilmGammaSeries = nullptr;
  QLabel* FilmGammaTitle = nullptr;
  QLabel* StatusPanel0 = nullptr;
  ProgressPanel* StatusPanel1 = nullptr;
  QLabel* StatusPanel2 = nullptr;

  TAboutBox* AboutBox = nullptr;
  TPropertyForm* PropertyForm = nullptr;
  THistoryForm* HistoryForm = nullptr;
  QFileDialog* OpenDialog1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;

  QAction* FileNew = nullptr;
  QAction* FileOpen = nullptr;
  QAction* FileSave = nullptr;
  QAction* FileSaveAs = nullptr;
  QAction* FileProperty = nullptr;
  QAction* FileHistory = nullptr;
  QAction* FileExit = nullptr;
  QAction* HelpAbout = nullptr;

  StringGridModel* YxyGridModel = nullptr;
  StringGridModel* ColorGridModel = nullptr;
  NumberGridModel* LutGridModel = nullptr;
  NumberGridModel* FilmGammaGridModel = nullptr;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static bool LeavesTheControl(const QFocusEvent& event);
  void NameControls();
  void BuildActions();
  void BuildMenu();
  void BuildToolBar();
  QWidget* BuildCalibrationTab();
  QWidget* BuildLookUpTableTab();
  QWidget* BuildFilmGammaTab();
  void BuildStatusBar();
  void UpdateFileActions();
  void SetProcedureControls(bool usable);
  using VerificationWriter = bool (*)(const std::string& path,
                                      const colour::VerificationFigures& figures,
                                      const ReportInfo& info);
  void SaveVerificationFile(const std::string& filter, const std::string& suffix,
                            const VerificationWriter& write);
  bool RunFileDialog(QFileDialog& dialog, const std::string& filter, const std::string& fileName,
                     std::string& path);
  // Runs a handler; an error that escapes it goes to the application's top-level handler.
  void Guarded(const std::function<void()>& handler);

  std::unique_ptr<Station> station_;
  bool procedureRunning_ = false;
  bool acceptDrops_ = false;
};

}  // namespace velluma
