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

#include "platform/TextToNumber.h"

namespace velluma {

namespace {

constexpr int kFilmGammaPage = 3;

QComboBox* MakeList(QWidget* parent, const QStringList& entries) {
  auto* list = new QComboBox(parent);
  list->addItems(entries);
  list->setCurrentIndex(-1);  // no entry selected until the settings say which
  return list;
}

QStringList Ports(int count) {
  QStringList ports;
  for (int n = 1; n <= count; ++n) ports << QString("COM%1").arg(n);
  return ports;
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
  TypeComboBox = MakeList(monitor, {"RS-232C"});
  MPortComboBox = MakeList(monitor, Ports(9));
  form->addRow("TYPE", TypeComboBox);
  form->addRow("PORT", MPortComboBox);
  layout->addWidget(monitor);
  auto* speed = new QFormLayout;
  MSpeedComboBox = MakeList(page, {"9600", "19200", "38400", "57600", "115200"});
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
  AModelComboBox = MakeList(analyzer, {"CA-210", "CA-310", "i1-Pro", "PR-655", "NoConnect"});
  APortComboBox = MakeList(analyzer, Ports(6) << "USB");
  form->addRow("MODEL", AModelComboBox);
  form->addRow("PORT", APortComboBox);
  layout->addWidget(analyzer);
  layout->addStretch(1);
  return page;
}

QWidget* TPropertyForm::BuildLookUpTablePage() {
  auto* page = new QWidget;
  auto* layout = new QFormLayout(page);
  LutFileTypeComboBox = MakeList(page, {"Baselight", "Davinci Resolve"});
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
  SelectEqual(AModelComboBox, settings_.ReadStringSetting("AnalizerModel"));
  SelectEqual(APortComboBox, settings_.ReadStringSetting("AnalizerPort"));
  SelectEqual(TypeComboBox, settings_.ReadStringSetting("MonitorType"));
  SelectEqual(MPortComboBox, settings_.ReadStringSetting("MonitorPort"));
  SelectEqual(MSpeedComboBox, std::to_string(settings_.ReadIntSetting("MonitorSpeed")));
  SelectEqual(LutFileTypeComboBox, settings_.ReadStringSetting("LutFileType"));
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
  const std::string stored = settings_.ReadStringSetting("AnalizerModel");
  if (stored == "CA-310" || stored == "CA-210" || stored == "i1-Pro")
    SelectEqual(APortComboBox, "USB");
  APPLYButton->setEnabled(true);
}

void TPropertyForm::APPLYButtonClick() {
  settings_.WriteStringSetting("AnalizerModel", SelectedText(AModelComboBox));
  settings_.WriteStringSetting("AnalizerPort", SelectedText(APortComboBox));
  settings_.WriteStringSetting("MonitorType", SelectedText(TypeComboBox));
  settings_.WriteStringSetting("MonitorPort", SelectedText(MPortComboBox));
  settings_.WriteIntSetting("MonitorSpeed", StrToInt(SelectedText(MSpeedComboBox)));
  settings_.WriteStringSetting("LutFileType", SelectedText(LutFileTypeComboBox));
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
