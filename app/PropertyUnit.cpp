#include "app/PropertyUnit.h"

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
QComboBox* MakeList(QWidget* parent, std::span<const Choice> choices) {
  auto* list = new QComboBox(parent);
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

TPropertyForm::TPropertyForm(SettingsStore& settings,
                             std::function<void(const std::exception&)> report, QWidget* parent)
    : QDialog(parent), settings_(settings), report_(std::move(report)) {
  setWindowTitle("Property");
  resize(331, 234);
  auto* layout = new QVBoxLayout(this);
  PageControl = new QTabWidget(this);
  PageControl->setUsesScrollButtons(false);  // all four pages in sight
  PageControl->addTab(BuildConnectPage(), "Connect");
  PageControl->addTab(BuildCalibrationPage(), "Calibration");
  PageControl->addTab(BuildLookUpTablePage(), "LookUpTable");
  PageControl->addTab(new QWidget, "FilmGamma");
  PageControl->setCurrentIndex(kFilmGammaPage);
  layout->addWidget(PageControl);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  OKButton = new QPushButton("OK", this);
  CANCELButton = new QPushButton("CANCEL", this);
  APPLYButton = new QPushButton("APPLY", this);
  APPLYButton->setEnabled(false);
  for (QPushButton* b : {OKButton, CANCELButton, APPLYButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  // Only the operator's own choices are changes; a selection the program makes is not.
  connect(TypeComboBox, qOverload<int>(&QComboBox::activated), this,
          [this] { TypeComboBoxChange(); });
  connect(MPortComboBox, qOverload<int>(&QComboBox::activated), this,
          [this] { MPortComboBoxChange(); });
  connect(MSpeedComboBox, qOverload<int>(&QComboBox::activated), this,
          [this] { MSpeedComboBoxChange(); });
  connect(APortComboBox, qOverload<int>(&QComboBox::activated), this,
          [this] { APortComboBoxChange(); });
  connect(AModelComboBox, qOverload<int>(&QComboBox::activated), this,
          [this] { Guarded([this] { AModelComboBoxChange(); }); });
  connect(OKButton, &QPushButton::clicked, this, [this] { Guarded([this] { OKButtonClick(); }); });
  connect(CANCELButton, &QPushButton::clicked, this, [this] { CANCELButtonClick(); });
  connect(APPLYButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { APPLYButtonClick(); }); });
}

QWidget* TPropertyForm::BuildConnectPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* monitor = new QGroupBox("Monitor", page);
  auto* form = new QFormLayout(monitor);
  TypeComboBox = MakeList(monitor, setting::kMonitorType.choices);
  MPortComboBox = MakeList(monitor, setting::kMonitorPort.choices);
  form->addRow("TYPE", TypeComboBox);
  form->addRow("PORT", MPortComboBox);
  layout->addWidget(monitor);
  auto* speed = new QFormLayout;
  MSpeedComboBox = MakeList(page, setting::kMonitorSpeed.choices);
  speed->addRow("SPEED", MSpeedComboBox);
  layout->addLayout(speed);
  layout->addStretch(1);
  return page;
}

QWidget* TPropertyForm::BuildCalibrationPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* analyzer = new QGroupBox("Analyzer", page);
  auto* form = new QFormLayout(analyzer);
  AModelComboBox = MakeList(analyzer, setting::kAnalyzerModel.choices);
  APortComboBox = MakeList(analyzer, setting::kAnalyzerPort.choices);
  form->addRow("MODEL", AModelComboBox);
  form->addRow("PORT", APortComboBox);
  layout->addWidget(analyzer);
  layout->addStretch(1);
  return page;
}

QWidget* TPropertyForm::BuildLookUpTablePage() {
  auto* page = new QWidget;
  auto* layout = new QFormLayout(page);
  LutFileTypeComboBox = MakeList(page, setting::kLutFileType.choices);
  layout->addRow("LUT_Format", LutFileTypeComboBox);
  return page;
}

void TPropertyForm::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    report_(error);
  }
}

void TPropertyForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Guarded([this] { FormShow(); });
}

void TPropertyForm::FormShow() {
  SelectEqual(AModelComboBox, settings_.Read(setting::kAnalyzerModel));
  SelectEqual(APortComboBox, settings_.Read(setting::kAnalyzerPort));
  SelectEqual(TypeComboBox, settings_.Read(setting::kMonitorType));
  SelectEqual(MPortComboBox, settings_.Read(setting::kMonitorPort));
  SelectEqual(MSpeedComboBox, std::to_string(settings_.Read(setting::kMonitorSpeed)));
  SelectEqual(LutFileTypeComboBox, settings_.Read(setting::kLutFileType));
  APPLYButton->setEnabled(false);
}

void TPropertyForm::TypeComboBoxChange() {
  APPLYButton->setEnabled(true);
}

void TPropertyForm::MPortComboBoxChange() {
  APPLYButton->setEnabled(true);
}

void TPropertyForm::MSpeedComboBoxChange() {
  APPLYButton->setEnabled(true);
}

void TPropertyForm::APortComboBoxChange() {
  APPLYButton->setEnabled(true);
}

// The port list follows the model stored before, not the one just chosen.
void TPropertyForm::AModelComboBoxChange() {
  if (InstrumentModelNamed(settings_.Read(setting::kAnalyzerModel)).reachedOverUsb)
    SelectEqual(APortComboBox, "USB");
  APPLYButton->setEnabled(true);
}

void TPropertyForm::APPLYButtonClick() {
  settings_.Write(setting::kAnalyzerModel, SelectedText(AModelComboBox));
  settings_.Write(setting::kAnalyzerPort, SelectedText(APortComboBox));
  settings_.Write(setting::kMonitorType, SelectedText(TypeComboBox));
  settings_.Write(setting::kMonitorPort, SelectedText(MPortComboBox));
  settings_.Write(setting::kMonitorSpeed, StrToInt(SelectedText(MSpeedComboBox)));
  settings_.Write(setting::kLutFileType, SelectedText(LutFileTypeComboBox));
  APPLYButton->setEnabled(false);
}

void TPropertyForm::OKButtonClick() {
  APPLYButtonClick();
  accept();
}

void TPropertyForm::CANCELButtonClick() {
  APPLYButton->setEnabled(false);
  reject();
}

}  // namespace velluma
