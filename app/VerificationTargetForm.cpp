#include "app/VerificationTargetForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include "calibration/VerificationRequest.h"

namespace velluma {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* MakeChoices(const setting::Text& setting, bool editable, QWidget* parent) {
  auto* list = new QComboBox(parent);
  for (std::string_view choice : setting.choices) list->addItem(Q(choice));
  list->setEditable(editable);
  return list;
}

QLineEdit* MakeThreshold(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMaximumWidth(60);
  return edit;
}

}  // namespace

VerificationTargetForm::VerificationTargetForm(Station& station, Complaint complain,
                                               QWidget* parent)
    : QWidget(parent), station_(station), complain_(std::move(complain)) {
  auto* whitePoint = MakeChoices(setting::kVerifyWhitePoint, true, this);
  whitePoint->setToolTip("D65, or x,y");
  auto* greySteps = new QSpinBox(this);
  greySteps->setRange(VerificationRequest::kMinGreySteps, VerificationRequest::kMaxGreySteps);
  controls_ = {
      {&setting::kVerifyWhitePoint, "White point", whitePoint},
      {&setting::kVerifyToneCurve, "Tone curve",
       MakeChoices(setting::kVerifyToneCurve, false, this)},
      {&setting::kVerifyGamut, "Gamut", MakeChoices(setting::kVerifyGamut, false, this)},
      {&setting::kVerifyGreySteps, "Grey steps", greySteps},
      {&setting::kVerifyGreyAverage, "Greys: ΔE2000 average at most", MakeThreshold(this)},
      {&setting::kVerifyGreyMaximum, "maximum at most", MakeThreshold(this)},
      {&setting::kVerifyColourAverage, "Colours: ΔE2000 average at most", MakeThreshold(this)},
      {&setting::kVerifyColourMaximum, "maximum at most", MakeThreshold(this)}};

  auto* form = new QFormLayout(this);
  form->setContentsMargins(4, 4, 4, 4);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  for (const Control& control : controls_) {
    control.widget->setObjectName(Q(control.setting->name));
    form->addRow(control.label, control.widget);
    Connect(control);
  }
}

void VerificationTargetForm::Connect(const Control& control) {
  if (auto* list = qobject_cast<QComboBox*>(control.widget)) {
    connect(list, &QComboBox::textActivated, this,
            [this, control](const QString& text) { Commit(control, text.toStdString()); });
    if (list->isEditable()) {
      connect(list->lineEdit(), &QLineEdit::editingFinished, this,
              [this, control, list] { Commit(control, list->currentText().toStdString()); });
    }
  } else if (auto* spin = qobject_cast<QSpinBox*>(control.widget)) {
    connect(spin, &QSpinBox::editingFinished, this,
            [this, control, spin] { Commit(control, std::to_string(spin->value())); });
  } else if (auto* edit = qobject_cast<QLineEdit*>(control.widget)) {
    connect(edit, &QLineEdit::editingFinished, this,
            [this, control, edit] { Commit(control, edit->text().toStdString()); });
  }
}

std::string VerificationTargetForm::Stored(const setting::Text& setting) const {
  std::string text = station_.ReadSetting(setting);
  return text.empty() ? std::string(setting.fallback) : text;
}

void VerificationTargetForm::ShowStored(const Control& control) {
  const QString text = Q(Stored(*control.setting));
  if (auto* list = qobject_cast<QComboBox*>(control.widget)) {
    if (list->isEditable())
      list->setEditText(text);
    else
      list->setCurrentText(text);
  } else if (auto* spin = qobject_cast<QSpinBox*>(control.widget)) {
    spin->setValue(text.toInt());
  } else if (auto* edit = qobject_cast<QLineEdit*>(control.widget)) {
    edit->setText(text);
  }
}

void VerificationTargetForm::Load() {
  try {
    for (const Control& control : controls_) ShowStored(control);
  } catch (const std::exception& error) {
    complain_(error.what());
  }
}

// A value already stored is not written again: leaving a control unchanged changes nothing.
void VerificationTargetForm::Commit(const Control& control, const std::string& text) {
  try {
    if (text == Stored(*control.setting)) return;
    if (const auto problem = VerificationValueProblem(*control.setting, text)) {
      ShowStored(control);
      return complain_(*problem);
    }
    station_.WriteSetting(*control.setting, text);
  } catch (const std::exception& error) {
    complain_(error.what());
  }
}

}  // namespace velluma
