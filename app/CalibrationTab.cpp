#include "app/CalibrationTab.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/GridView.h"
#include "app/StringGridModel.h"
#include "app/VerificationPage.h"
#include "calibration/StationSettings.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {

constexpr int kGreyLevelPage = 0;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// x and y with four decimals, Y with three, in the grids' padded columns 1 to 3 of `row`.
void FillValueRow(StringGridModel& model, int row, const XyYValue& value) {
  model.SetCell(1, row, Q(FormatC("%10.4f", value.x)));
  model.SetCell(2, row, Q(FormatC("%10.4f", value.y)));
  model.SetCell(3, row, Q(FormatC("%10.3f", value.Y)));
}

}  // namespace

CalibrationTab::CalibrationTab(Station& station, VerificationTargetForm::Complaint complain,
                               QWidget* parent)
    : QWidget(parent) {
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(8, 3, 8, 3);
  auto* left = new QVBoxLayout;
  columns->addLayout(left);
  left->addWidget(BuildControlGroup());
  auto* lower = new QGridLayout;
  left->addLayout(lower);
  lower->addWidget(BuildValueGroup(), 0, 0, Qt::AlignTop);
  lower->addLayout(BuildOffsetsAndVerify(), 0, 1);
  AddCorrectRow(*lower, 1);
  lower->setColumnStretch(2, 1);
  left->addStretch(1);
  columns->addWidget(BuildTablePages(station, std::move(complain)), 1);

  connect(autoButton_, &QPushButton::clicked, this, &CalibrationTab::AutoRequested);
  connect(sendButton_, &QPushButton::clicked, this, &CalibrationTab::SendRequested);
  connect(zeroCalibrationButton_, &QPushButton::clicked, this,
          &CalibrationTab::ZeroCalibrationRequested);
  connect(verifyButton_, &QPushButton::clicked, this, &CalibrationTab::VerifyRequested);
  connect(correctButton_, &QPushButton::clicked, this, &CalibrationTab::CorrectRequested);
  connect(tablePages_, &QTabWidget::currentChanged, this, &CalibrationTab::TablePageChanged);
  greyLevels_->SetEditHandler([this](int column, int row, const QString& text) {
    emit GreyLevelEdited(column, row, text);
  });
  primaries_->SetEditHandler(
      [this](int column, int row, const QString& text) { emit PrimaryEdited(column, row, text); });
  // The offset edits are checked when they lose the focus.
  for (QLineEdit* edit : offsetEdits_) edit->installEventFilter(this);
  // Files dropped on the value boxes go to the window, not into the boxes.
  for (QLineEdit* edit : measured_) edit->setAcceptDrops(false);
  for (QLineEdit* edit : offsetEdits_) edit->setAcceptDrops(false);
}

// Nothing reports once the tab is going: a cell editor still open or an offset edit still
// focused would otherwise report from a half-destroyed tab.
CalibrationTab::~CalibrationTab() {
  greyLevels_->SetEditHandler({});
  primaries_->SetEditHandler({});
  for (QLineEdit* edit : offsetEdits_) edit->removeEventFilter(this);
}

QWidget* CalibrationTab::BuildControlGroup() {
  auto* control = new QGroupBox("Control", this);
  control->setFixedSize(321, 121);
  auto* layout = new QGridLayout(control);
  autoButton_ = new QPushButton("AUTO", control);
  autoButton_->setObjectName("autoButton");
  autoButton_->setMinimumSize(193, 89);
  sendButton_ = new QPushButton("PC -> MONITOR", control);
  sendButton_->setObjectName("sendCalibrationButton");
  zeroCalibrationButton_ = new QPushButton("0-CAL.", control);
  zeroCalibrationButton_->setObjectName("zeroCalibrationButton");
  layout->addWidget(autoButton_, 0, 0, 2, 1);
  layout->addWidget(sendButton_, 0, 1);
  layout->addWidget(zeroCalibrationButton_, 1, 1);
  for (QPushButton* button : {sendButton_, zeroCalibrationButton_}) button->setMinimumSize(106, 41);
  return control;
}

QWidget* CalibrationTab::BuildValueGroup() {
  auto* value = new QGroupBox("Yxy Value", this);
  value->setFixedSize(153, 146);
  auto* layout = new QGridLayout(value);
  measuredPatch_ = new QLabel(value);
  measuredPatch_->setObjectName("measuredPatchLabel");
  measuredPatch_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  measuredPatch_->setAlignment(Qt::AlignCenter);
  measuredPatch_->setFixedSize(81, 25);
  layout->addWidget(measuredPatch_, 0, 1);
  const char* names[] = {"measuredXEdit", "measuredYEdit", "measuredLuminanceEdit"};
  for (std::size_t i = 0; i < measured_.size(); ++i) {
    measured_[i] = new QLineEdit(value);
    measured_[i]->setObjectName(names[i]);
  }
  const char* labels[] = {"x", "y", "Y"};
  for (int i = 0; i < 3; ++i) {
    layout->addWidget(new QLabel(labels[i], value), i + 1, 0, Qt::AlignRight);
    measured_[i]->setFixedWidth(81);
    layout->addWidget(measured_[i], i + 1, 1);
  }
  return value;
}

// "Analyzer Offset" x and y, and Verify under them.
QLayout* CalibrationTab::BuildOffsetsAndVerify() {
  auto* offsets = new QGridLayout;
  offsets->addWidget(new QLabel("Analyzer Offset", this), 0, 0, 1, 2);
  const char* names[] = {"analyzerOffsetXEdit", "analyzerOffsetYEdit"};
  for (std::size_t axis = 0; axis < offsetEdits_.size(); ++axis) {
    offsetEdits_[axis] = new QLineEdit(this);
    offsetEdits_[axis]->setObjectName(names[axis]);
  }
  const char* labels[] = {"x", "y"};
  for (int axis = 0; axis < 2; ++axis) {
    offsets->addWidget(new QLabel(labels[axis], this), axis + 1, 0, Qt::AlignRight);
    offsets->addWidget(offsetEdits_[axis], axis + 1, 1);
  }
  for (QLineEdit* edit : offsetEdits_) {
    edit->setFixedWidth(50);
    edit->setMaxLength(7);
  }
  offsets->setRowStretch(3, 1);
  auto* column = new QVBoxLayout;
  column->addStretch(1);
  column->addLayout(offsets);
  verifyButton_ = new QPushButton("Verify", this);
  verifyButton_->setObjectName("verifyButton");
  verifyButton_->setMinimumSize(106, 41);
  column->addWidget(verifyButton_);
  return column;
}

// Correct under Verify, the memory it corrects beside it.
void CalibrationTab::AddCorrectRow(QGridLayout& grid, int row) {
  auto* memory = new QHBoxLayout;
  memory->addStretch(1);
  memory->addWidget(new QLabel("Memory", this));
  correctMemory_ = new QComboBox(this);
  correctMemory_->setObjectName("correctMemoryList");
  for (std::string_view name : setting::kMemories)
    correctMemory_->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
  connect(correctMemory_, &QComboBox::activated, this, &CalibrationTab::CorrectMemoryChosen);
  memory->addWidget(correctMemory_);
  grid.addLayout(memory, row, 0);
  correctButton_ = new QPushButton("Correct", this);
  correctButton_->setObjectName("correctButton");
  correctButton_->setMinimumSize(106, 41);
  correctButton_->setToolTip(
      "Measure the panel through the chosen user memory and send that memory the LUT that "
      "corrects it, with a verification before and after");
  grid.addWidget(correctButton_, row, 1);
}

QTabWidget* CalibrationTab::BuildTablePages(Station& station,
                                            VerificationTargetForm::Complaint complain) {
  tablePages_ = new QTabWidget(this);
  tablePages_->setObjectName("tablePages");
  tablePages_->setMinimumSize(315, 278);
  greyLevels_ = new StringGridModel(4, CalibrationData::kGreyLevels + 1, true, this);
  primaries_ = new StringGridModel(4, 4, true, this);
  QTableView* greyGrid = MakeGridView(greyLevels_, nullptr, 281, 238);
  greyGrid->setObjectName("greyLevelTable");
  QTableView* primaryGrid = MakeGridView(primaries_, nullptr, 263, 89);
  primaryGrid->setObjectName("primaryTable");
  primaryGrid->setFixedHeight(4 * kGridRowHeight + 2 * primaryGrid->frameWidth());
  primaryGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* primaryPage = new QWidget;
  auto* primaryLayout = new QVBoxLayout(primaryPage);
  primaryLayout->addWidget(primaryGrid);
  primaryLayout->addStretch(1);
  tablePages_->addTab(greyGrid, "Yxy Table");
  tablePages_->addTab(primaryPage, "LCD Color");
  verification_ = new VerificationPage(station, std::move(complain));
  tablePages_->addTab(verification_, "Verification");
  return tablePages_;
}

void CalibrationTab::ShowMeasurement(const std::string& x, const std::string& y,
                                     const std::string& Y, const std::string& patchName) {
  const std::string texts[] = {x, y, Y};
  for (std::size_t i = 0; i < measured_.size(); ++i) {
    measured_[i]->setText(Q(texts[i]));
    measured_[i]->repaint();
  }
  measuredPatch_->setText(Q(patchName));
  measuredPatch_->repaint();
}

std::string CalibrationTab::OffsetText(int axis) const {
  return offsetEdits_[axis == 0 ? 0 : 1]->text().toStdString();
}

void CalibrationTab::SetOffsetText(int axis, const std::string& text) {
  offsetEdits_[axis == 0 ? 0 : 1]->setText(Q(text));
}

void CalibrationTab::SetUsable(bool usable) {
  autoButton_->setEnabled(usable);
  zeroCalibrationButton_->setEnabled(usable);
  verifyButton_->setEnabled(usable);
  sendButton_->setEnabled(usable);
  correctButton_->setEnabled(usable);
  correctMemory_->setEnabled(usable);
  for (QLineEdit* edit : offsetEdits_) edit->setReadOnly(!usable);
}

int CalibrationTab::CorrectMemory() const {
  return correctMemory_->currentIndex();
}

std::string CalibrationTab::CorrectMemoryName() const {
  return correctMemory_->currentText().toStdString();
}

void CalibrationTab::SelectCorrectMemory(const std::string& name) {
  const int index = correctMemory_->findText(QString::fromStdString(name));
  if (index >= 0) correctMemory_->setCurrentIndex(index);
}

void CalibrationTab::ShowTables(const CalibrationData& data) {
  if (tablePages_->currentIndex() == kGreyLevelPage) {
    greyLevels_->BeginFill();
    const char* headers[] = {"     No.", "     x", "     y", "     Y"};
    for (int c = 0; c < 4; ++c) greyLevels_->SetCell(c, 0, headers[c]);
    for (int n = 0; n < CalibrationData::kGreyLevels; ++n) {
      greyLevels_->SetCell(0, n + 1, Q(FormatC("%8d", n)));
      FillValueRow(*greyLevels_, n + 1, data.greyLevels[n]);
    }
    greyLevels_->EndFill();
    return;
  }
  primaries_->BeginFill();
  const char* headers[] = {"     ", "     x", "     y", "     Y"};
  const char* labels[] = {"     R", "     G", "     B"};
  for (int c = 0; c < 4; ++c) primaries_->SetCell(c, 0, headers[c]);
  for (int p = 0; p < 3; ++p) {
    primaries_->SetCell(0, p + 1, labels[p]);
    FillValueRow(*primaries_, p + 1, data.primaries[p]);
  }
  primaries_->EndFill();
}

void CalibrationTab::ShowGreyLevelPage() {
  tablePages_->setCurrentIndex(kGreyLevelPage);
}

void CalibrationTab::ShowVerificationPage() {
  tablePages_->setCurrentWidget(verification_);
}

bool CalibrationTab::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool leaves = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
    for (int axis = 0; axis < 2; ++axis)
      if (leaves && watched == offsetEdits_[axis]) emit OffsetLeft(axis);
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace velluma
