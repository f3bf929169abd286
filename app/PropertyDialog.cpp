#include "app/PropertyDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <span>
#include <type_traits>

#include "calibration/StationSettings.h"
#include "instruments/InstrumentModel.h"
#include "platform/TextToNumber.h"

namespace velluma {

namespace {

constexpr int kFilmGammaPage = 3;

// A list of a setting's choices, no entry selected until the settings say which.
template <typename Choice>
QComboBox* MakeList(QWidget* parent, const char* name, std::span<const Choice> choices) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  for (const Choice& choice : choices) {
    if constexpr (std::is_integral_v<Choice>)
      list->addItem(QString::number(choice));
    else
      list->addItem(QString::fromUtf8(choice.data(), static_cast<qsizetype>(choice.size())));
  }
  list->setCurrentIndex(-1);
  return list;
}

// Selects the first entry equal to `text`; without one the list keeps what it had.
void SelectEqual(QComboBox* list, const std::string& text) {
  const int index =
      list->findText(QString::fromStdString(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) list->setCurrentIndex(index);
}

std::string SelectedText(const QComboBox* list) {
  return list->currentText().toStdString();
}

}  // namespace

PropertyDialog::PropertyDialog(SettingsStore& settings,
                               std::function<void(const std::exception&)> report, QWidget* parent)
    : QDialog(parent), settings_(settings), report_(std::move(report)) {
  setWindowTitle("Property");
  resize(331, 234);
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("propertyPages");
  pages_->setUsesScrollButtons(false);  // all four pages in sight
  pages_->addTab(BuildConnectPage(), "Connect");
  pages_->addTab(BuildCalibrationPage(), "Calibration");
  pages_->addTab(BuildLookUpTablePage(), "LookUpTable");
  pages_->addTab(new QWidget, "FilmGamma");
  pages_->setCurrentIndex(kFilmGammaPage);
  layout->addWidget(pages_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("okButton");
  cancelButton_ = new QPushButton("CANCEL", this);
  cancelButton_->setObjectName("cancelButton");
  applyButton_ = new QPushButton("APPLY", this);
  applyButton_->setObjectName("applyButton");
  applyButton_->setEnabled(false);
  for (QPushButton* b : {okButton_, cancelButton_, applyButton_}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  // Only the operator's own choices are changes; a selection the program makes is not.
  for (QComboBox* list : {monitorTypeList_, monitorPortList_, monitorSpeedList_, analyzerPortList_})
    connect(list, &QComboBox::activated, this, &PropertyDialog::MarkChanged);
  connect(analyzerModelList_, &QComboBox::activated, this,
          [this] { Guarded([this] { AnalyzerModelChosen(); }); });
  connect(okButton_, &QPushButton::clicked, this, [this] { Guarded([this] { ApplyAndClose(); }); });
  connect(cancelButton_, &QPushButton::clicked, this, &PropertyDialog::Cancel);
  connect(applyButton_, &QPushButton::clicked, this, [this] { Guarded([this] { Apply(); }); });
}

QWidget* PropertyDialog::BuildConnectPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* monitor = new QGroupBox("Monitor", page);
  auto* form = new QFormLayout(monitor);
  monitorTypeList_ = MakeList(monitor, "monitorTypeList", setting::kMonitorType.choices);
  monitorPortList_ = MakeList(monitor, "monitorPortList", setting::kMonitorPort.choices);
  form->addRow("TYPE", monitorTypeList_);
  form->addRow("PORT", monitorPortList_);
  layout->addWidget(monitor);
  auto* speed = new QFormLayout;
  monitorSpeedList_ = MakeList(page, "monitorSpeedList", setting::kMonitorSpeed.choices);
  speed->addRow("SPEED", monitorSpeedList_);
  layout->addLayout(speed);
  layout->addStretch(1);
  return page;
}

QWidget* PropertyDialog::BuildCalibrationPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* analyzer = new QGroupBox("Analyzer", page);
  auto* form = new QFormLayout(analyzer);
  analyzerModelList_ = MakeList(analyzer, "analyzerModelList", setting::kAnalyzerModel.choices);
  analyzerPortList_ = MakeList(analyzer, "analyzerPortList", setting::kAnalyzerPort.choices);
  form->addRow("MODEL", analyzerModelList_);
  form->addRow("PORT", analyzerPortList_);
  layout->addWidget(analyzer);
  layout->addStretch(1);
  return page;
}

QWidget* PropertyDialog::BuildLookUpTablePage() {
  auto* page = new QWidget;
  auto* layout = new QFormLayout(page);
  lutFormatList_ = MakeList(page, "lutFormatList", setting::kLutFileType.choices);
  layout->addRow("LUT_Format", lutFormatList_);
  return page;
}

void PropertyDialog::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    report_(error);
  }
}

void PropertyDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Guarded([this] { ShowStoredSettings(); });
}

void PropertyDialog::ShowStoredSettings() {
  SelectEqual(analyzerModelList_, settings_.Read(setting::kAnalyzerModel));
  SelectEqual(analyzerPortList_, settings_.Read(setting::kAnalyzerPort));
  SelectEqual(monitorTypeList_, settings_.Read(setting::kMonitorType));
  SelectEqual(monitorPortList_, settings_.Read(setting::kMonitorPort));
  SelectEqual(monitorSpeedList_, std::to_string(settings_.Read(setting::kMonitorSpeed)));
  SelectEqual(lutFormatList_, settings_.Read(setting::kLutFileType));
  applyButton_->setEnabled(false);
}

void PropertyDialog::MarkChanged() {
  applyButton_->setEnabled(true);
}

// The port list follows the model stored before, not the one just chosen.
void PropertyDialog::AnalyzerModelChosen() {
  if (InstrumentModelNamed(settings_.Read(setting::kAnalyzerModel)).reachedOverUsb)
    SelectEqual(analyzerPortList_, "USB");
  applyButton_->setEnabled(true);
}

void PropertyDialog::Apply() {
  settings_.Write(setting::kAnalyzerModel, SelectedText(analyzerModelList_));
  settings_.Write(setting::kAnalyzerPort, SelectedText(analyzerPortList_));
  settings_.Write(setting::kMonitorType, SelectedText(monitorTypeList_));
  settings_.Write(setting::kMonitorPort, SelectedText(monitorPortList_));
  settings_.Write(setting::kMonitorSpeed, StrToInt(SelectedText(monitorSpeedList_)));
  settings_.Write(setting::kLutFileType, SelectedText(lutFormatList_));
  applyButton_->setEnabled(false);
}

void PropertyDialog::ApplyAndClose() {
  Apply();
  accept();
}

void PropertyDialog::Cancel() {
  applyButton_->setEnabled(false);
  reject();
}

}  // namespace velluma
