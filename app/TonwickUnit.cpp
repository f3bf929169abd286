#include "app/TonwickUnit.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <utility>

#include "app/AboutUnit.h"
#include "app/ChartParts.h"
#include "app/FileFilter.h"
#include "app/HistoryUnit.h"
#include "app/NumberGridModel.h"
#include "app/ProgressPanel.h"
#include "app/PropertyUnit.h"
#include "app/StringGridModel.h"
#include "app/ToolBarImages.h"
#include "app/VerificationPage.h"
#include "calibration/StationSettings.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {

constexpr int kGridRowHeight = 20;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QTableView* MakeGrid(QAbstractItemModel* model, QWidget* parent, int width, int height) {
  auto* grid = new QTableView(parent);
  grid->setModel(model);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setDefaultSectionSize(64);
  grid->setTextElideMode(Qt::ElideNone);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid->setWordWrap(false);
  grid->setMinimumSize(width, height);
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  return grid;
}

QComboBox* MakeMemoryList(QWidget* parent) {
  auto* list = new QComboBox(parent);
  for (std::string_view name : setting::kMemories) list->addItem(Q(std::string(name)));
  list->setCurrentIndex(0);
  return list;
}

// "Send to", the memory list and its Start button, one above the other.
QVBoxLayout* MakeSendControls(QWidget* page, QComboBox*& memoryList, QPushButton*& startButton) {
  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel("Send to", page));
  memoryList = MakeMemoryList(page);
  side->addWidget(memoryList);
  startButton = new QPushButton("Start", page);
  side->addWidget(startButton);
  side->addStretch(1);
  return side;
}

// The Windows message box's buttons and icons by flags, and the answers it returns.
int ShowModalBox(QWidget* owner, const std::string& text, const std::string& caption, int flags) {
  QMessageBox box(owner);
  box.setWindowTitle(Q(caption));
  box.setText(Q(text));
  switch (flags) {
    case Operator::kError:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Operator::kOkCancelError:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case Operator::kYesNoQuestion:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return Operator::kAnswerCancel;
    case QMessageBox::Yes:
      return Operator::kAnswerYes;
    case QMessageBox::No:
      return Operator::kAnswerNo;
    default:
      return Operator::kAnswerOk;
  }
}

}  // namespace

TTonwickForm::TTonwickForm(SettingsStore& settings, Clock& clock, QWidget* parent)
    : QMainWindow(parent), station_(std::make_unique<Station>(*this, settings, clock)) {
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
  FuncPageControl = new QTabWidget(central);
  FuncPageControl->addTab(BuildCalibrationTab(), "Calibration");
  FuncPageControl->addTab(BuildLookUpTableTab(), "LookUpTable");
  FuncPageControl->addTab(BuildFilmGammaTab(), "Film Gamma");
  X_edit = new QLineEdit(central);
  X_edit->setReadOnly(true);
  layout->addWidget(FuncPageControl, 1);
  layout->addWidget(X_edit);
  setCentralWidget(central);
  BuildStatusBar();
  AboutBox = new TAboutBox(this);
  HistoryForm = new THistoryForm(this);
  PropertyForm = new TPropertyForm(
      settings,
      [this](const std::exception& error) { MessageBox(error.what(), "Velluma", kError); }, this);
  OpenDialog1 = new QFileDialog(this);
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog1->setFileMode(QFileDialog::AnyFile);
  SaveDialog1 = new QFileDialog(this);
  SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog1->setFileMode(QFileDialog::AnyFile);
  SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, true);  // AUTO saves over its file
  NameControls();

  connect(DownloadButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { DownloadButtonClick(); }); });
  connect(LUTStartButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { LUTStartButtonClick(); }); });
  connect(FilmGammaStartButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { FilmGammaStartButtonClick(); }); });
  connect(AutoButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { AutoButtonClick(); }); });
  connect(ZeroCalButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { ZeroCalButtonClick(); }); });
  connect(VerifyButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { VerifyButtonClick(); }); });
  connect(VerificationPage1->SaveReportButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { VerifySaveReportClick(); }); });
  connect(VerificationPage1->SaveCsvButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { VerifySaveCsvClick(); }); });
  // The offset edits are checked when they lose the focus.
  AnalyzerOffsetCxEdit->installEventFilter(this);
  AnalyzerOffsetCyEdit->installEventFilter(this);
  // Files dropped on the value boxes go to the window, not into the boxes.
  for (QLineEdit* edit :
       {CxEdit, CyEdit, Yedit, AnalyzerOffsetCxEdit, AnalyzerOffsetCyEdit, X_edit})
    edit->setAcceptDrops(false);
  connect(FuncPageControl, &QTabWidget::currentChanged, this,
          [this] { Guarded([this] { FuncPageControlChange(); }); });
  connect(TablePageControl, &QTabWidget::currentChanged, this,
          [this] { Guarded([this] { TablePageControlChange(); }); });
  connect(LUTComboBox, qOverload<int>(&QComboBox::activated), this,
          [this] { Guarded([this] { LUTComboBoxChange(); }); });
  connect(FilmGammaComboBox, qOverload<int>(&QComboBox::activated), this,
          [this] { Guarded([this] { FilmGammaComboBoxChange(); }); });
  resize(693, 401 + menuBar()->sizeHint().height() + 24 + statusBar()->sizeHint().height());
}

// Nothing may call back into the window once its own part is gone: a cell editor still open or
// an offset edit still focused would otherwise report to a half-destroyed window.
TTonwickForm::~TTonwickForm() {
  YxyGridModel->SetEditHandler({});
  ColorGridModel->SetEditHandler({});
  AnalyzerOffsetCxEdit->removeEventFilter(this);
  AnalyzerOffsetCyEdit->removeEventFilter(this);
}

// Every control and action carries its name, so that tests and tools find them as the operator
// does, not through the window's members.
void TTonwickForm::NameControls() {
  const std::pair<QObject*, const char*> named[] = {
      {FuncPageControl, "FuncPageControl"},
      {X_edit, "X_edit"},
      {AutoButton, "AutoButton"},
      {DownloadButton, "DownloadButton"},
      {ZeroCalButton, "ZeroCalButton"},
      {VerifyButton, "VerifyButton"},
      {VerificationPage1, "VerificationPage"},
      {VerificationPage1->VerdictLabel, "VerdictLabel"},
      {VerificationPage1->ChartPages, "VerificationChartPages"},
      {VerificationPage1->AbortButton, "VerifyAbortButton"},
      {VerificationPage1->SaveReportButton, "VerifySaveReportButton"},
      {VerificationPage1->SaveCsvButton, "VerifySaveCsvButton"},
      {VerificationPage1->Target->WhitePoint, "VerifyWhitePoint"},
      {VerificationPage1->Target->ToneCurve, "VerifyToneCurve"},
      {VerificationPage1->Target->Gamut, "VerifyGamut"},
      {VerificationPage1->Target->GreySteps, "VerifyGreySteps"},
      {VerificationPage1->Target->GreyAverage, "VerifyGreyAverage"},
      {VerificationPage1->Target->GreyMaximum, "VerifyGreyMaximum"},
      {VerificationPage1->Target->ColourAverage, "VerifyColourAverage"},
      {VerificationPage1->Target->ColourMaximum, "VerifyColourMaximum"},
      {YxyPanel, "YxyPanel"},
      {CxEdit, "CxEdit"},
      {CyEdit, "CyEdit"},
      {Yedit, "Yedit"},
      {AnalyzerOffsetCxEdit, "AnalyzerOffsetCxEdit"},
      {AnalyzerOffsetCyEdit, "AnalyzerOffsetCyEdit"},
      {TablePageControl, "TablePageControl"},
      {YxyStringGrid, "YxyStringGrid"},
      {ColorStringGrid, "ColorStringGrid"},
      {LUTStringGrid, "LUTStringGrid"},
      {LUTComboBox, "LUTComboBox"},
      {LUTStartButton, "LUTStartButton"},
      {FilmGammaStringGrid, "FilmGammaStringGrid"},
      {FilmGammaComboBox, "FilmGammaComboBox"},
      {FilmGammaStartButton, "FilmGammaStartButton"},
      {FilmGammaPageControl, "FilmGammaPageControl"},
      {StatusPanel0, "StatusPanel0"},
      {StatusPanel1, "StatusPanel1"},
      {StatusPanel2, "StatusPanel2"},
      {OpenDialog1, "OpenDialog1"},
      {SaveDialog1, "SaveDialog1"},
      {FileNew, "FileNew"},
      {FileOpen, "FileOpen"},
      {FileSave, "FileSave"},
      {FileSaveAs, "FileSaveAs"},
      {FileProperty, "FileProperty"},
      {FileHistory, "FileHistory"},
      {FileExit, "FileExit"},
      {HelpAbout, "HelpAbout"},
  };
  for (const auto& [object, name] : named) object->setObjectName(name);
}

void TTonwickForm::BuildActions() {
  struct ActionEntry {
    QAction** action;
    const char* caption;
    const char* hint;
    int image;
  } entries[] = {
      {&FileNew, "New(&N)", "New", 0},
      {&FileOpen, "Open(&O)", "Open", 1},
      {&FileSave, "Save(&S)", "Save", 2},
      {&FileSaveAs, "SaveAs(&A)", nullptr, -1},
      {&FileProperty, "Property(&P)", "Property", 4},
      {&FileHistory, "History(&H)...", "History", -1},
      {&FileExit, "Exit(&X)", "Exit", 3},
      {&HelpAbout, "Version(&A)", nullptr, -1},
  };
  for (const ActionEntry& s : entries) {
    *s.action = new QAction(s.caption, this);
    if (s.hint) (*s.action)->setToolTip(s.hint);
    if (s.hint) (*s.action)->setStatusTip(s.hint);
    if (s.image >= 0) (*s.action)->setIcon(ToolBarImage(s.image));
  }
  // AUTO starts a new data set itself; the action is never offered to the operator.
  FileNew->setEnabled(false);
  FileNew->setVisible(false);
  connect(FileExit, &QAction::triggered, this, [this] { Guarded([this] { FileExitExecute(); }); });
  connect(FileProperty, &QAction::triggered, this,
          [this] { Guarded([this] { FilePropertyExecute(); }); });
  connect(FileHistory, &QAction::triggered, this,
          [this] { Guarded([this] { FileHistoryExecute(); }); });
  connect(HelpAbout, &QAction::triggered, this,
          [this] { Guarded([this] { HelpAboutExecute(); }); });
  connect(FileOpen, &QAction::triggered, this, [this] { Guarded([this] { FileOpenExecute(); }); });
  connect(FileNew, &QAction::triggered, this, [this] { Guarded([this] { FileNewExecute(); }); });
  connect(FileSave, &QAction::triggered, this, [this] { Guarded([this] { FileSaveExecute(); }); });
  connect(FileSaveAs, &QAction::triggered, this,
          [this] { Guarded([this] { FileSaveAsExecute(); }); });
}

void TTonwickForm::BuildMenu() {
  QMenu* file = menuBar()->addMenu("File(&F)");
  file->addAction(FileNew);
  file->addAction(FileOpen);
  file->addAction(FileSave);
  file->addAction(FileSaveAs);
  file->addSeparator();
  file->addAction(FileProperty);
  file->addAction(FileHistory);
  file->addSeparator();
  file->addAction(FileExit);
  QMenu* help = menuBar()->addMenu("Help(&H)");
  help->addAction(HelpAbout);
}

void TTonwickForm::BuildToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setObjectName("ToolBar");
  bar->setMovable(false);
  bar->setFixedHeight(24);
  bar->setIconSize(QSize(16, 16));
  bar->addAction(FileNew);
  bar->addAction(FileOpen);
  bar->addAction(FileSave);
  bar->addAction(FileExit);
  bar->addSeparator();
  bar->addAction(FileProperty);
  bar->addSeparator();
  ModelNameLabel = new QLabel("Model", bar);
  ModelNameLabel->setObjectName("ModelNameLabel");
  ModelNameLabel->setMinimumWidth(120);
  bar->addWidget(ModelNameLabel);
}

QWidget* TTonwickForm::BuildCalibrationTab() {
  auto* page = new QWidget;
  auto* columns = new QHBoxLayout(page);
  columns->setContentsMargins(8, 3, 8, 3);
  auto* left = new QVBoxLayout;
  columns->addLayout(left);

  auto* control = new QGroupBox("Control", page);
  control->setFixedSize(321, 121);
  auto* controlLayout = new QGridLayout(control);
  AutoButton = new QPushButton("AUTO", control);
  AutoButton->setMinimumSize(193, 89);
  DownloadButton = new QPushButton("PC -> MONITOR", control);
  ZeroCalButton = new QPushButton("0-CAL.", control);
  controlLayout->addWidget(AutoButton, 0, 0, 2, 1);
  controlLayout->addWidget(DownloadButton, 0, 1);
  controlLayout->addWidget(ZeroCalButton, 1, 1);
  for (QPushButton* b : {DownloadButton, ZeroCalButton}) b->setMinimumSize(106, 41);
  left->addWidget(control);

  auto* lower = new QHBoxLayout;
  left->addLayout(lower);
  auto* value = new QGroupBox("Yxy Value", page);
  value->setFixedSize(153, 146);
  auto* valueLayout = new QGridLayout(value);
  YxyPanel = new QLabel(value);
  YxyPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  YxyPanel->setAlignment(Qt::AlignCenter);
  YxyPanel->setFixedSize(81, 25);
  valueLayout->addWidget(YxyPanel, 0, 1);
  CxEdit = new QLineEdit(value);
  CyEdit = new QLineEdit(value);
  Yedit = new QLineEdit(value);
  const char* labels[] = {"x", "y", "Y"};
  QLineEdit* edits[] = {CxEdit, CyEdit, Yedit};
  for (int i = 0; i < 3; ++i) {
    valueLayout->addWidget(new QLabel(labels[i], value), i + 1, 0, Qt::AlignRight);
    edits[i]->setFixedWidth(81);
    valueLayout->addWidget(edits[i], i + 1, 1);
  }
  lower->addWidget(value, 0, Qt::AlignTop);

  auto* offsets = new QGridLayout;
  offsets->addWidget(new QLabel("Analyzer Offset", page), 0, 0, 1, 2);
  AnalyzerOffsetCxEdit = new QLineEdit(page);
  AnalyzerOffsetCyEdit = new QLineEdit(page);
  offsets->addWidget(new QLabel("x", page), 1, 0, Qt::AlignRight);
  offsets->addWidget(AnalyzerOffsetCxEdit, 1, 1);
  offsets->addWidget(new QLabel("y", page), 2, 0, Qt::AlignRight);
  offsets->addWidget(AnalyzerOffsetCyEdit, 2, 1);
  for (QLineEdit* e : {AnalyzerOffsetCxEdit, AnalyzerOffsetCyEdit}) {
    e->setFixedWidth(50);
    e->setMaxLength(7);
  }
  offsets->setRowStretch(3, 1);
  auto* offsetBox = new QVBoxLayout;
  offsetBox->addStretch(1);
  offsetBox->addLayout(offsets);
  VerifyButton = new QPushButton("Verify", page);
  VerifyButton->setMinimumSize(106, 41);
  offsetBox->addWidget(VerifyButton);
  lower->addLayout(offsetBox);
  lower->addStretch(1);
  left->addStretch(1);

  TablePageControl = new QTabWidget(page);
  TablePageControl->setMinimumSize(315, 278);
  YxyGridModel = new StringGridModel(4, 257, true, this);
  ColorGridModel = new StringGridModel(4, 4, true, this);
  YxyStringGrid = MakeGrid(YxyGridModel, nullptr, 281, 238);
  ColorStringGrid = MakeGrid(ColorGridModel, nullptr, 263, 89);
  ColorStringGrid->setFixedHeight(4 * kGridRowHeight + 2 * ColorStringGrid->frameWidth());
  ColorStringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  YxyGridModel->SetEditHandler([this](int column, int row, const QString& text) {
    Guarded([&] { station_->SetGreyTableCell(column, row, text.toStdString()); });
  });
  ColorGridModel->SetEditHandler([this](int column, int row, const QString& text) {
    Guarded([&] { station_->SetPrimaryTableCell(column, row, text.toStdString()); });
  });
  auto* colorPage = new QWidget;
  auto* colorLayout = new QVBoxLayout(colorPage);
  colorLayout->addWidget(ColorStringGrid);
  colorLayout->addStretch(1);
  TablePageControl->addTab(YxyStringGrid, "Yxy Table");
  TablePageControl->addTab(colorPage, "LCD Color");
  VerificationPage1 = new VerificationPage(
      *station_, [this](const std::string& text) { MessageBox(text, "Verify", kError); });
  TablePageControl->addTab(VerificationPage1, "Verification");
  columns->addWidget(TablePageControl, 1);
  return page;
}

QWidget* TTonwickForm::BuildLookUpTableTab() {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  layout->setContentsMargins(16, 3, 16, 3);
  LutGridModel = new NumberGridModel({"", "      R", "      G", "      B"}, "%d", 4096, this);
  LUTStringGrid = MakeGrid(LutGridModel, page, 281, 238);
  layout->addWidget(LUTStringGrid);
  layout->addLayout(MakeSendControls(page, LUTComboBox, LUTStartButton));
  layout->addStretch(1);
  return page;
}

QWidget* TTonwickForm::BuildFilmGammaTab() {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  layout->setContentsMargins(16, 3, 8, 3);
  FilmGammaGridModel = new NumberGridModel({"", "      W"}, "%8d", 1024, this);
  FilmGammaStringGrid = MakeGrid(FilmGammaGridModel, page, 151, 238);
  layout->addWidget(FilmGammaStringGrid);
  layout->addLayout(MakeSendControls(page, FilmGammaComboBox, FilmGammaStartButton));

  FilmGammaPageControl = new QTabWidget(page);
  auto* chart = new QChart;
  chart->legend()->hide();
  FilmGammaSeries = new QLineSeries(chart);
  chart->addSeries(FilmGammaSeries);
  for (Qt::Alignment side : {Qt::AlignBottom, Qt::AlignLeft}) {
    auto* axis = new QValueAxis(chart);
    axis->setRange(0, 1023);
    axis->setLabelFormat("%d");
    chart->addAxis(axis, side);
    FilmGammaSeries->attachAxis(axis);
  }
  FilmGammaChart = MakeChartView(chart);
  // The chart's own title is centred; the "GAMMA" title stands right-aligned above it.
  auto* chartPage = new QWidget;
  auto* chartLayout = new QVBoxLayout(chartPage);
  chartLayout->setContentsMargins(2, 2, 2, 2);
  FilmGammaTitle = new QLabel("GAMMA", chartPage);
  FilmGammaTitle->setAlignment(Qt::AlignRight);
  chartLayout->addWidget(FilmGammaTitle);
  chartLayout->addWidget(FilmGammaChart, 1);
  FilmGammaPageControl->addTab(chartPage, "Gamma Chart");
  layout->addWidget(FilmGammaPageControl, 1);
  return page;
}

void TTonwickForm::BuildStatusBar() {
  StatusPanel0 = new QLabel(this);
  StatusPanel0->setFixedWidth(100);
  StatusPanel1 = new ProgressPanel(this);
  StatusPanel2 = new QLabel(this);
  StatusPanel2->setMinimumWidth(50);
  for (QWidget* panel : std::initializer_list<QWidget*>{StatusPanel0, StatusPanel1, StatusPanel2})
    panel->setMinimumHeight(fontMetrics().height() + 4);  // the bar keeps its height when empty
  statusBar()->addWidget(StatusPanel0);
  statusBar()->addWidget(StatusPanel1);
  statusBar()->addWidget(StatusPanel2, 1);
  statusBar()->setSizeGripEnabled(false);
}

// An error in start-up (a setting that cannot be read) ends start-up there and is shown; the
// window goes on with what was made.
void TTonwickForm::FormCreate() {
  ModelNameLabel->setText("");
  Guarded([this] { station_->Start(); });
  VerificationPage1->Target->Load();
}

// A LUT (".cub", ".cube") goes to the LookUpTable tab, read as the LUT settings say, any other
// file to the Calibration tab. Loading touches no device, so it needs no monitor on the link.
void TTonwickForm::OpenGivenFile(const std::string& path) {
  const QString name = Q(path).section(QRegularExpression("[/\\\\]"), -1);
  const QString suffix = name.contains('.') ? name.section('.', -1).toLower() : QString();
  const bool lut = suffix == "cub" || suffix == "cube";
  FuncPageControl->setCurrentIndex(lut ? kLookUpTableTab : kCalibrationTab);
  Guarded([&] { DropFiles({path}); });
}

void TTonwickForm::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::bad_alloc&) {
    MessageBox("Not enough memory for this action", "Velluma", kError);
  } catch (const std::exception& error) {
    MessageBox(error.what(), "Velluma", kError);
  }
}

// Operator

int TTonwickForm::MessageBox(const std::string& text, const std::string& caption, int flags) {
  if (messageBoxHook) return messageBoxHook(text, caption, flags);
  return ShowModalBox(this, text, caption, flags);
}

void TTonwickForm::SetStatusText(int panel, const std::string& text, bool repaintNow) {
  QLabel* label = panel == 0 ? StatusPanel0 : panel == 2 ? StatusPanel2 : nullptr;
  if (label) label->setText(Q(text));
  if (repaintNow) statusBar()->repaint();
}

std::string TTonwickForm::StatusText(int panel) const {
  const QLabel* label = panel == 0 ? StatusPanel0 : panel == 2 ? StatusPanel2 : nullptr;
  return label ? label->text().toStdString() : std::string();
}

void TTonwickForm::ShowMessageLine(const std::string& text) {
  X_edit->setText(Q(text));
  X_edit->repaint();
}

void TTonwickForm::LockControls() {
  SetProcedureControls(false);
}

void TTonwickForm::UnlockControls() {
  SetProcedureControls(true);
}

// The controls a procedure holds still, in this order: the three buttons, the offset edits
// (read-only rather than disabled), the two memory lists with their Start buttons.
void TTonwickForm::SetProcedureControls(bool usable) {
  AutoButton->setEnabled(usable);
  ZeroCalButton->setEnabled(usable);
  VerifyButton->setEnabled(usable);
  DownloadButton->setEnabled(usable);
  AnalyzerOffsetCxEdit->setReadOnly(!usable);
  AnalyzerOffsetCyEdit->setReadOnly(!usable);
  LUTStartButton->setEnabled(usable);
  LUTComboBox->setEnabled(usable);
  FilmGammaStartButton->setEnabled(usable);
  FilmGammaComboBox->setEnabled(usable);
}

void TTonwickForm::SetProcedureRunning(bool running) {
  procedureRunning_ = running;
  UpdateFileActions();
}

// The file commands the active tab allows; while a procedure runs, none of those that replace
// the devices or the data (Save only writes what is there).
void TTonwickForm::UpdateFileActions() {
  const bool calibration = FuncPageControl->currentIndex() == kCalibrationTab;
  const bool idle = !procedureRunning_;
  FileOpen->setEnabled(idle);
  FileSave->setEnabled(calibration);
  FileSaveAs->setEnabled(calibration);
  FileProperty->setEnabled(idle);
  FileHistory->setEnabled(idle);
  FileExit->setEnabled(idle);
}

std::string TTonwickForm::AnalyzerOffsetText(int axis) const {
  return (axis == 0 ? AnalyzerOffsetCxEdit : AnalyzerOffsetCyEdit)->text().toStdString();
}

void TTonwickForm::SetAnalyzerOffsetText(int axis, const std::string& text) {
  (axis == 0 ? AnalyzerOffsetCxEdit : AnalyzerOffsetCyEdit)->setText(Q(text));
}

void TTonwickForm::ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                                   const std::string& patchName) {
  const std::pair<QWidget*, std::string> shown[] = {
      {CxEdit, x}, {CyEdit, y}, {Yedit, Y}, {YxyPanel, patchName}};
  for (const auto& [widget, text] : shown) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(Q(text));
    if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(Q(text));
    widget->repaint();
  }
}

void TTonwickForm::ShowProgress(int done, int total) {
  StatusPanel1->ShowProgress(done, total);
}

void TTonwickForm::ClearProgress() {
  StatusPanel1->Clear();
}

void TTonwickForm::ProcessMessages() {
  QApplication::processEvents();
}

void TTonwickForm::ShowModelName(const std::string& model) {
  ModelNameLabel->setText(Q(model));
}

void TTonwickForm::AcceptDroppedFiles() {
  acceptDrops_ = true;
  setAcceptDrops(true);
}

int TTonwickForm::LutMemory() const {
  return LUTComboBox->currentIndex();
}

int TTonwickForm::FilmGammaMemory() const {
  return FilmGammaComboBox->currentIndex();
}

void TTonwickForm::SelectLutMemory(const std::string& text) {
  if (int index = LUTComboBox->findText(Q(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
      index >= 0)
    LUTComboBox->setCurrentIndex(index);
}

void TTonwickForm::SelectFilmGammaMemory(const std::string& text) {
  if (int index = FilmGammaComboBox->findText(Q(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
      index >= 0)
    FilmGammaComboBox->setCurrentIndex(index);
}

int TTonwickForm::ActiveTab() const {
  return FuncPageControl->currentIndex();
}

void TTonwickForm::ShowStartPages() {
  QSignalBlocker blockTabs(FuncPageControl);
  FuncPageControl->setCurrentIndex(kCalibrationTab);
  TablePageControl->setCurrentIndex(0);
}

bool TTonwickForm::RunFileDialog(QFileDialog& dialog, const std::string& filter,
                                 const std::string& fileName, std::string& path) {
  dialog.setNameFilters(QtFileFilters(filter));
  dialog.selectFile(Q(fileName));
  if (dialogHook) {
    path = dialogHook(dialog);
    return !path.empty();
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = dialog.selectedFiles().front().toStdString();
  return true;
}

bool TTonwickForm::OpenDialog(const std::string& filter, const std::string& fileName,
                              std::string& path) {
  return RunFileDialog(*OpenDialog1, filter, fileName, path);
}

bool TTonwickForm::SaveDialog(const std::string& filter, const std::string& fileName,
                              std::string& path) {
  return RunFileDialog(*SaveDialog1, filter, fileName, path);
}

void TTonwickForm::RefreshCalibrationTables() {
  const CalibrationData& data = station_->Held().calibration;
  auto fillRow = [](StringGridModel* model, int row, const XyYValue& v) {
    model->SetCell(1, row, Q(FormatC("%10.4f", v.x)));
    model->SetCell(2, row, Q(FormatC("%10.4f", v.y)));
    model->SetCell(3, row, Q(FormatC("%10.3f", v.Y)));
  };
  if (TablePageControl->currentIndex() == 0) {
    YxyGridModel->BeginFill();
    const char* headers[] = {"     No.", "     x", "     y", "     Y"};
    for (int c = 0; c < 4; ++c) YxyGridModel->SetCell(c, 0, headers[c]);
    for (int n = 0; n < CalibrationData::kGreyLevels; ++n) {
      YxyGridModel->SetCell(0, n + 1, Q(FormatC("%8d", n)));
      fillRow(YxyGridModel, n + 1, data.greyLevels[n]);
    }
    YxyGridModel->EndFill();
    return;
  }
  ColorGridModel->BeginFill();
  const char* headers[] = {"     ", "     x", "     y", "     Y"};
  const char* labels[] = {"     R", "     G", "     B"};
  for (int c = 0; c < 4; ++c) ColorGridModel->SetCell(c, 0, headers[c]);
  for (int p = 0; p < 3; ++p) {
    ColorGridModel->SetCell(0, p + 1, labels[p]);
    fillRow(ColorGridModel, p + 1, data.primaries[p]);
  }
  ColorGridModel->EndFill();
}

void TTonwickForm::RefreshLutTable() {
  const int memory = std::clamp(LutMemory(), 0, 2);
  std::vector<std::vector<std::int32_t>> columns;
  for (const auto& channel : station_->Held().tables.lutTables[memory])
    columns.emplace_back(channel.begin(), channel.end());
  LutGridModel->Fill(std::move(columns));
}

void TTonwickForm::RefreshFilmGammaTable() {
  const int memory = std::clamp(FilmGammaMemory(), 0, 2);
  const auto& table = station_->Held().tables.filmGammaTables[memory];
  FilmGammaGridModel->Fill({std::vector<std::int32_t>(table.begin(), table.end())});
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(table.size()));
  for (std::size_t i = 0; i < table.size(); ++i)
    points.append(QPointF(static_cast<double>(i), table[i]));
  FilmGammaSeries->replace(points);
}

// Handlers

void TTonwickForm::FuncPageControlChange() {
  station_->ShowTab(FuncPageControl->currentIndex());
  UpdateFileActions();
}

void TTonwickForm::TablePageControlChange() {
  RefreshCalibrationTables();
}

void TTonwickForm::FileExitExecute() {
  if (station_->Exit()) close();
}

void TTonwickForm::DropFiles(const std::vector<std::string>& paths) {
  station_->OpenFiles(paths);
}

void TTonwickForm::ZeroCalButtonClick() {
  station_->ZeroCalibrate();
}

void TTonwickForm::AutoButtonClick() {
  station_->RunAuto();
}

// A report of the last finished run, into a file the operator chooses; unlike AUTO's data file
// the dialog asks before it replaces one.
void TTonwickForm::SaveVerificationFile(const std::string& filter, const std::string& suffix,
                                        const VerificationWriter& write) {
  const auto& finished = VerificationPage1->Finished();
  if (!finished) return;
  std::string name = "verification-" + finished->startedUtc + suffix;
  name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == ':'; }), name.end());
  std::string path;
  SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, false);
  const bool chosen = SaveDialog(filter, name, path);
  SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!chosen) return;
  if (!write(path, finished->figures, finished->Report()))
    MessageBox("Cannot write " + path, "Verify", kError);
}

void TTonwickForm::VerifySaveReportClick() {
  SaveVerificationFile("HTML report (*.html)|*.html|All Files(*.*)|*.*", ".html",
                       WriteVerificationHtml);
}

void TTonwickForm::VerifySaveCsvClick() {
  SaveVerificationFile("CSV File (*.csv)|*.csv|All Files(*.*)|*.*", ".csv", WriteVerificationCsv);
}

// The run shows itself on the Verification page, which is brought forward for it.
void TTonwickForm::VerifyButtonClick() {
  TablePageControl->setCurrentWidget(VerificationPage1);
  VerificationPage1->BeginRun();
  VerificationPage1->EndRun(station_->Verify(*VerificationPage1));
}

void TTonwickForm::FileOpenExecute() {
  station_->OpenFile();
}

void TTonwickForm::FilePropertyExecute() {
  station_->ChangeSettings();
}

// The runs the station's history keeps, read afresh each time the dialog opens.
void TTonwickForm::FileHistoryExecute() {
  HistoryForm->SetLocation(station_->HistoryLocation());
  HistoryForm->Load();
  HistoryForm->exec();
}

void TTonwickForm::HelpAboutExecute() {
  AboutBox->exec();
}

void TTonwickForm::ShowPropertyDialog() {
  PropertyForm->exec();
}

void TTonwickForm::DownloadButtonClick() {
  station_->SendCalibration();
}

void TTonwickForm::LUTStartButtonClick() {
  station_->SendLut(LutMemory());
}

void TTonwickForm::FilmGammaStartButtonClick() {
  station_->SendFilmGamma(FilmGammaMemory());
}

void TTonwickForm::FileNewExecute() {
  station_->NewData();
}

void TTonwickForm::FileSaveExecute() {
  station_->SaveFile();
}

void TTonwickForm::FileSaveAsExecute() {
  station_->SaveFileAs();
}

void TTonwickForm::AnalyzerOffsetCxEditChange() {
  station_->CheckOffsetEdit(0);
}

void TTonwickForm::AnalyzerOffsetCyEditChange() {
  station_->CheckOffsetEdit(1);
}

void TTonwickForm::LUTComboBoxChange() {
  station_->WriteSetting(setting::kLookUpTableSendTo, LUTComboBox->currentText().toStdString());
  RefreshLutTable();
}

void TTonwickForm::FilmGammaComboBoxChange() {
  station_->WriteSetting(setting::kFilmGammaSendTo, FilmGammaComboBox->currentText().toStdString());
  RefreshFilmGammaTable();
}

bool TTonwickForm::LeavesTheControl(const QFocusEvent& event) {
  return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

void TTonwickForm::dragEnterEvent(QDragEnterEvent* event) {
  if (acceptDrops_ && !station_->ProcedureRunning() && event->mimeData()->hasUrls())
    event->acceptProposedAction();
}

// The offset edits are checked when the operator leaves them; a menu opening over the window or
// another application taking the front is not leaving them.
bool TTonwickForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && LeavesTheControl(*static_cast<QFocusEvent*>(event))) {
    if (watched == AnalyzerOffsetCxEdit) Guarded([this] { AnalyzerOffsetCxEditChange(); });
    if (watched == AnalyzerOffsetCyEdit) Guarded([this] { AnalyzerOffsetCyEditChange(); });
  }
  return QMainWindow::eventFilter(watched, event);
}

// The close box ends the program without the Exit command's clean-up, but not in the middle of a
// procedure, which would go on measuring with no window to report to.
void TTonwickForm::closeEvent(QCloseEvent* event) {
  if (station_->ProcedureRunning()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TTonwickForm::dropEvent(QDropEvent* event) {
  if (!acceptDrops_ || station_->ProcedureRunning()) return;
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  event->acceptProposedAction();
  Guarded([&] { DropFiles(paths); });
}

}  // namespace velluma
