#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <type_traits>

#include "app/AboutDialog.h"
#include "app/CalibrationTab.h"
#include "app/FileFilter.h"
#include "app/FilmGammaTab.h"
#include "app/HistoryDialog.h"
#include "app/LookUpTableTab.h"
#include "app/ModalMessageBox.h"
#include "app/ProgressPanel.h"
#include "app/PropertyDialog.h"
#include "app/StatusPanels.h"
#include "app/ToolBarImages.h"
#include "app/VerificationPage.h"
#include "calibration/CorrectionFiles.h"
#include "calibration/StationSettings.h"
#include "platform/Folders.h"

namespace velluma {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// `dialog`, made by `make` the first time it is asked for and kept from then on.
template <typename Dialog, typename Make>
Dialog& MadeOnce(Dialog*& dialog, Make make) {
  if (!dialog) dialog = make();
  return *dialog;
}

// An open or a save dialog, named "openDialog" or "saveDialog"; a file need not exist to be chosen.
QFileDialog* MakeFileDialog(QWidget* parent, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(mode == QFileDialog::AcceptOpen ? "openDialog" : "saveDialog");
  dialog->setAcceptMode(mode);
  dialog->setFileMode(QFileDialog::AnyFile);
  return dialog;
}

}  // namespace

MainWindow::MainWindow(SettingsStore& settings, Clock& clock, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      station_(std::make_unique<Station>(*this, settings, clock)) {
  setWindowTitle("Velluma");
  setWindowIcon(ApplicationIcon());
  QFont font = QApplication::font();
  font.setPixelSize(12);
  setFont(font);
  setAcceptDrops(false);

  BuildActions();
  BuildMenu();
  BuildToolBar();

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(8, 3, 8, 3);
  functionTabs_ = new QTabWidget(central);
  functionTabs_->setObjectName("functionTabs");
  calibration_ = new CalibrationTab(
      *station_, [this](const std::string& text) { MessageBox(text, "Verify", kError); });
  functionTabs_->addTab(calibration_, "Calibration");
  lookUpTable_ = new LookUpTableTab;
  functionTabs_->addTab(lookUpTable_, "LookUpTable");
  filmGamma_ = new FilmGammaTab;
  functionTabs_->addTab(filmGamma_, "Film Gamma");
  messageLine_ = new QLineEdit(central);
  messageLine_->setObjectName("messageLine");
  messageLine_->setReadOnly(true);
  messageLine_->setAcceptDrops(false);  // a dropped file goes to the window
  layout->addWidget(functionTabs_, 1);
  layout->addWidget(messageLine_);
  setCentralWidget(central);
  status_ = new StatusPanels(this);
  setStatusBar(status_);

  ConnectControls();
  resize(693, 401 + menuBar()->sizeHint().height() + 24 + status_->sizeHint().height());
}

// Nothing may reach the station once it is gone: a cell editor still open or an offset edit
// still focused reports while the window's parts are taken down, after the station.
MainWindow::~MainWindow() {
  for (const QMetaObject::Connection& connection : connections_) disconnect(connection);
}

void MainWindow::BuildActions() {
  const struct {
    QAction** action;
    const char* name;
    const char* caption;
    const char* hint;
    int image;
  } entries[] = {
      {&newAction_, "newAction", "New(&N)", "New", 0},
      {&openAction_, "openAction", "Open(&O)", "Open", 1},
      {&saveAction_, "saveAction", "Save(&S)", "Save", 2},
      {&saveAsAction_, "saveAsAction", "SaveAs(&A)", nullptr, -1},
      {&propertyAction_, "propertyAction", "Property(&P)", "Property", 4},
      {&historyAction_, "historyAction", "History(&H)...", "History", -1},
      {&exitAction_, "exitAction", "Exit(&X)", "Exit", 3},
      {&versionAction_, "versionAction", "Version(&A)", nullptr, -1},
  };
  for (const auto& entry : entries) {
    QAction* action = *entry.action = new QAction(entry.caption, this);
    action->setObjectName(entry.name);
    if (entry.hint) action->setToolTip(entry.hint);
    if (entry.hint) action->setStatusTip(entry.hint);
    if (entry.image >= 0) action->setIcon(ToolBarImage(entry.image));
  }
  // AUTO starts a new data set itself; the action is never offered to the operator.
  newAction_->setEnabled(false);
  newAction_->setVisible(false);
}

void MainWindow::BuildMenu() {
  QMenu* file = menuBar()->addMenu("File(&F)");
  file->addAction(newAction_);
  file->addAction(openAction_);
  file->addAction(saveAction_);
  file->addAction(saveAsAction_);
  file->addSeparator();
  file->addAction(propertyAction_);
  file->addAction(historyAction_);
  file->addSeparator();
  file->addAction(exitAction_);
  QMenu* help = menuBar()->addMenu("Help(&H)");
  help->addAction(versionAction_);
}

void MainWindow::BuildToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setObjectName("toolBar");
  bar->setMovable(false);
  bar->setFixedHeight(24);
  bar->setIconSize(QSize(16, 16));
  bar->addAction(newAction_);
  bar->addAction(openAction_);
  bar->addAction(saveAction_);
  bar->addAction(exitAction_);
  bar->addSeparator();
  bar->addAction(propertyAction_);
  bar->addSeparator();
  modelName_ = new QLabel("Model", bar);
  modelName_->setObjectName("modelNameLabel");
  modelName_->setMinimumWidth(120);
  bar->addWidget(modelName_);
}

// Every control and what it asks of the station, or of the window itself.
void MainWindow::ConnectControls() {
  On(newAction_, &QAction::triggered, [this] { station_->NewData(); });
  On(openAction_, &QAction::triggered, [this] { station_->OpenFile(); });
  On(saveAction_, &QAction::triggered, [this] { station_->SaveFile(); });
  On(saveAsAction_, &QAction::triggered, [this] { station_->SaveFileAs(); });
  On(propertyAction_, &QAction::triggered, [this] { station_->ChangeSettings(); });
  On(historyAction_, &QAction::triggered, [this] { ShowHistory(); });
  On(exitAction_, &QAction::triggered, [this] {
    if (station_->Exit()) close();
  });
  On(versionAction_, &QAction::triggered, [this] { ShowVersion(); });
  On(functionTabs_, &QTabWidget::currentChanged, [this] { FunctionTabChanged(); });

  On(calibration_, &CalibrationTab::AutoRequested, [this] { station_->RunAuto(); });
  On(calibration_, &CalibrationTab::SendRequested, [this] { station_->SendCalibration(); });
  On(calibration_, &CalibrationTab::ZeroCalibrationRequested,
     [this] { station_->ZeroCalibrate(); });
  On(calibration_, &CalibrationTab::VerifyRequested, [this] { Verify(); });
  On(calibration_, &CalibrationTab::CorrectRequested, [this] { Correct(); });
  On(calibration_, &CalibrationTab::OffsetLeft,
     [this](int axis) { station_->CheckOffsetEdit(axis); });
  On(calibration_, &CalibrationTab::GreyLevelEdited,
     [this](int column, int row, const QString& text) {
       station_->SetGreyTableCell(column, row, text.toStdString());
     });
  On(calibration_, &CalibrationTab::PrimaryEdited,
     [this](int column, int row, const QString& text) {
       station_->SetPrimaryTableCell(column, row, text.toStdString());
     });
  On(calibration_, &CalibrationTab::TablePageChanged, [this] { RefreshCalibrationTables(); });
  On(&calibration_->Verification(), &VerificationPage::SaveReportRequested,
     [this] { SaveRunFile(RunFile::Report); });
  On(&calibration_->Verification(), &VerificationPage::SaveCsvRequested,
     [this] { SaveRunFile(RunFile::Csv); });
  On(&calibration_->Verification(), &VerificationPage::SaveLutRequested,
     [this] { SaveRunFile(RunFile::Lut); });

  On(calibration_, &CalibrationTab::CorrectMemoryChosen, [this] {
    station_->WriteSetting(setting::kCorrectMemory, calibration_->CorrectMemoryName());
  });
  On(lookUpTable_, &MemoryTableTab::SendRequested, [this] { station_->SendLut(LutMemory()); });
  On(lookUpTable_, &MemoryTableTab::MemoryChosen, [this] {
    station_->WriteSetting(setting::kLookUpTableSendTo, lookUpTable_->MemoryName());
    RefreshLutTable();
  });
  On(filmGamma_, &MemoryTableTab::SendRequested,
     [this] { station_->SendFilmGamma(FilmGammaMemory()); });
  On(filmGamma_, &MemoryTableTab::MemoryChosen, [this] {
    station_->WriteSetting(setting::kFilmGammaSendTo, filmGamma_->MemoryName());
    RefreshFilmGammaTable();
  });
}

template <typename Sender, typename Owner, typename... Args, typename Verb>
void MainWindow::On(Sender* sender, void (Owner::*signal)(Args...), Verb verb) {
  connections_.push_back(connect(sender, signal, this, [this, verb](Args... args) {
    Guarded([&] {
      if constexpr (std::is_invocable_v<const Verb&, Args...>)
        verb(args...);
      else
        verb();
    });
  }));
}

void MainWindow::Guarded(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::bad_alloc&) {
    MessageBox("Not enough memory for this action", "Velluma", kError);
  } catch (const std::exception& error) {
    MessageBox(error.what(), "Velluma", kError);
  }
}

// An error in start-up (a setting that cannot be read) ends start-up there and is shown; the
// window goes on with what was made.
void MainWindow::Start() {
  modelName_->setText("");
  Guarded([this] {
    station_->Start();
    calibration_->SelectCorrectMemory(station_->ReadSetting(setting::kCorrectMemory));
  });
  calibration_->Verification().LoadTarget();
}

// A LUT (".cub", ".cube") goes to the LookUpTable tab, read as the LUT settings say, any other
// file to the Calibration tab. Loading touches no device, so it needs no monitor on the link.
void MainWindow::OpenGivenFile(const std::string& path) {
  const QString name = Q(path).section(QRegularExpression("[/\\\\]"), -1);
  const QString suffix = name.contains('.') ? name.section('.', -1).toLower() : QString();
  const bool lut = suffix == "cub" || suffix == "cube";
  functionTabs_->setCurrentIndex(lut ? kLookUpTableTab : kCalibrationTab);
  Guarded([&] { station_->OpenFiles({path}); });
}

void MainWindow::FunctionTabChanged() {
  station_->ShowTab(functionTabs_->currentIndex());
  UpdateFileActions();
}

// The file commands the active tab allows; while a procedure runs, none of those that replace
// the devices or the data (Save only writes what is there).
void MainWindow::UpdateFileActions() {
  const bool calibration = functionTabs_->currentIndex() == kCalibrationTab;
  const bool idle = !procedureRunning_;
  openAction_->setEnabled(idle);
  saveAction_->setEnabled(calibration);
  saveAsAction_->setEnabled(calibration);
  propertyAction_->setEnabled(idle);
  historyAction_->setEnabled(idle);
  exitAction_->setEnabled(idle);
}

// The controls a procedure holds still, in this order: the Calibration tab's buttons and offset
// edits, then each memory list with its Start button.
void MainWindow::SetProcedureControls(bool usable) {
  calibration_->SetUsable(usable);
  lookUpTable_->SetUsable(usable);
  filmGamma_->SetUsable(usable);
}

// The run shows itself on the Verification page, which is brought forward for it.
void MainWindow::Verify() {
  VerificationPage& page = calibration_->Verification();
  calibration_->ShowVerificationPage();
  page.BeginRun();
  page.EndRun(station_->Verify(page));
}

// A correction runs on the memory chosen beside its button, and shows itself (both verifications)
// on the Verification page.
void MainWindow::Correct() {
  VerificationPage& page = calibration_->Verification();
  calibration_->ShowVerificationPage();
  page.BeginRun();
  page.EndCorrectionRun(station_->Correct(calibration_->CorrectMemory(), page));
}

// A file of the last finished run (its report, its CSV, a correction's LUT as a .cube), into a
// file the operator chooses; unlike AUTO's data file the dialog asks before it replaces one.
void MainWindow::SaveRunFile(RunFile file) {
  const VerificationPage& page = calibration_->Verification();
  const auto& verification = page.Finished();
  const auto& correction = page.FinishedCorrection();
  if (!verification && !correction) return;
  static constexpr std::pair<const char*, const char*> kFilters[] = {
      {"HTML report (*.html)|*.html|All Files(*.*)|*.*", ".html"},
      {"CSV File (*.csv)|*.csv|All Files(*.*)|*.*", ".csv"},
      {"DaVinci Resolve LUT (*.cube)|*.cube|All Files(*.*)|*.*", ".cube"}};
  const auto& [filter, suffix] = kFilters[static_cast<int>(file)];
  std::string name = correction ? "correction-" + correction->MemoryName() + "-" +
                                      correction->before.startedUtc + suffix
                                : "verification-" + verification->startedUtc + suffix;
  name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == ':'; }), name.end());
  std::string path;
  QFileDialog& dialog = SaveFileDialog();
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  const bool chosen = RunFileDialog(dialog, filter, name, path);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!chosen) return;
  std::string reason;
  const bool written =
      correction ? (file == RunFile::Report ? WriteCorrectionHtml(path, *correction, reason)
                    : file == RunFile::Csv  ? WriteCorrectionCsv(path, *correction, reason)
                                            : WriteCorrectionCube(path, *correction, reason))
      : file == RunFile::Report
          ? WriteVerificationHtml(path, verification->figures, verification->Report())
          : WriteVerificationCsv(path, verification->figures, verification->Report());
  if (!written) MessageBox("Cannot write " + path, correction ? "Correct" : "Verify", kError);
}

// The runs the station's history keeps, read afresh each time the dialog opens.
void MainWindow::ShowHistory() {
  HistoryDialog& dialog = MadeOnce(historyDialog_, [this] { return new HistoryDialog(this); });
  dialog.SetLocation(station_->HistoryLocation());
  dialog.Load();
  dialog.exec();
}

void MainWindow::ShowVersion() {
  MadeOnce(aboutDialog_, [this] { return new AboutDialog(this); }).exec();
}

// The open and save dialogs are made when first asked for: each brings a model of the file
// system that reads the icon theme, which the first screen has no use for.
QFileDialog& MainWindow::OpenFileDialog() {
  return MadeOnce(openDialog_, [this] { return MakeFileDialog(this, QFileDialog::AcceptOpen); });
}

QFileDialog& MainWindow::SaveFileDialog() {
  return MadeOnce(saveDialog_, [this] {
    QFileDialog* dialog = MakeFileDialog(this, QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);  // AUTO saves over its file
    return dialog;
  });
}

bool MainWindow::RunFileDialog(QFileDialog& dialog, const std::string& filter,
                               const std::string& fileName, std::string& path) {
  dialog.setNameFilters(QtFileFilters(filter));
  dialog.selectFile(Q(fileName));
  if (dialogHook) {
    path = dialogHook(dialog);
    return !path.empty();
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  // Qt gives the path with "/"; the station shows and stores it as the system writes paths.
  path = WithSystemSeparators(dialog.selectedFiles().front().toStdString());
  return true;
}

// Dialogs

int MainWindow::MessageBox(const std::string& text, const std::string& caption, int flags) {
  if (messageBoxHook) return messageBoxHook(text, caption, flags);
  return ShowModalMessageBox(this, text, caption, flags);
}

bool MainWindow::OpenDialog(const std::string& filter, const std::string& fileName,
                            std::string& path) {
  return RunFileDialog(OpenFileDialog(), filter, fileName, path);
}

bool MainWindow::SaveDialog(const std::string& filter, const std::string& fileName,
                            std::string& path) {
  return RunFileDialog(SaveFileDialog(), filter, fileName, path);
}

void MainWindow::ShowPropertyDialog() {
  MadeOnce(propertyDialog_, [this] {
    return new PropertyDialog(
        settings_,
        [this](const std::exception& error) { MessageBox(error.what(), "Velluma", kError); }, this);
  }).exec();
}

// StatusView

void MainWindow::SetStatusText(int panel, const std::string& text, bool repaintNow) {
  status_->SetText(panel, text);
  if (repaintNow) status_->repaint();
}

std::string MainWindow::StatusText(int panel) const {
  return status_->Text(panel);
}

void MainWindow::ShowMessageLine(const std::string& text) {
  messageLine_->setText(Q(text));
  messageLine_->repaint();
}

void MainWindow::LockControls() {
  SetProcedureControls(false);
}

void MainWindow::UnlockControls() {
  SetProcedureControls(true);
}

void MainWindow::SetProcedureRunning(bool running) {
  procedureRunning_ = running;
  UpdateFileActions();
}

void MainWindow::ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                                 const std::string& patchName) {
  calibration_->ShowMeasurement(x, y, Y, patchName);
}

void MainWindow::ShowProgress(int done, int total) {
  status_->Progress().ShowProgress(done, total);
}

void MainWindow::ClearProgress() {
  status_->Progress().Clear();
}

void MainWindow::ProcessMessages() {
  QApplication::processEvents();
}

void MainWindow::ShowModelName(const std::string& model) {
  modelName_->setText(Q(model));
}

void MainWindow::AcceptDroppedFiles() {
  acceptDrops_ = true;
  setAcceptDrops(true);
}

// Views

void MainWindow::RefreshCalibrationTables() {
  calibration_->ShowTables(station_->Held().calibration);
}

void MainWindow::RefreshLutTable() {
  lookUpTable_->ShowTable(station_->Held().tables.lutTables[std::clamp(LutMemory(), 0, 2)]);
}

void MainWindow::RefreshFilmGammaTable() {
  filmGamma_->ShowTable(
      station_->Held().tables.filmGammaTables[std::clamp(FilmGammaMemory(), 0, 2)]);
}

int MainWindow::LutMemory() const {
  return lookUpTable_->Memory();
}

int MainWindow::FilmGammaMemory() const {
  return filmGamma_->Memory();
}

void MainWindow::SelectLutMemory(const std::string& text) {
  lookUpTable_->SelectMemory(text);
}

void MainWindow::SelectFilmGammaMemory(const std::string& text) {
  filmGamma_->SelectMemory(text);
}

int MainWindow::ActiveTab() const {
  return functionTabs_->currentIndex();
}

void MainWindow::ShowStartPages() {
  QSignalBlocker blockTabs(functionTabs_);
  functionTabs_->setCurrentIndex(kCalibrationTab);
  calibration_->ShowGreyLevelPage();
}

std::string MainWindow::AnalyzerOffsetText(int axis) const {
  return calibration_->OffsetText(axis);
}

void MainWindow::SetAnalyzerOffsetText(int axis, const std::string& text) {
  calibration_->SetOffsetText(axis, text);
}

// Drops and closing

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (acceptDrops_ && !station_->ProcedureRunning() && event->mimeData()->hasUrls())
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (!acceptDrops_ || station_->ProcedureRunning()) return;
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(WithSystemSeparators(url.toLocalFile().toStdString()));
  event->acceptProposedAction();
  Guarded([&] { station_->OpenFiles(paths); });
}

// The close box ends the program without the Exit command's clean-up, but not in the middle of a
// procedure, which would go on measuring with no window to report to.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (station_->ProcedureRunning()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

}  // namespace velluma
