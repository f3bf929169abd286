#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "calibration/Station.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace velluma {

// The verification's target and thresholds as the operator sets them: each control stands for
// one verification setting, shows what is stored and stores what is chosen at once. A text that
// names nothing is refused with its reason and the control shows the stored value again.
class VerificationTargetForm : public QWidget {
  Q_OBJECT

 public:
  using Complaint = std::function<void(const std::string& text)>;

  VerificationTargetForm(Station& station, Complaint complain, QWidget* parent = nullptr);

  // Shows the stored values (the fallback of each that is missing).
  void Load();

  QComboBox* WhitePoint = nullptr;
  QComboBox* ToneCurve = nullptr;
  QComboBox* Gamut = nullptr;
  QSpinBox* GreySteps = nullptr;
  QLineEdit* GreyAverage = nullptr;
  QLineEdit* GreyMaximum = nullptr;
  QLineEdit* ColourAverage = nullptr;
  QLineEdit* ColourMaximum = nullptr;

 private:
  struct Control {
    const setting::Text* setting;
    QWidget* widget;
  };

  std::string Stored(const setting::Text& setting) const;
  void Commit(const Control& control, const std::string& text);
  void ShowStored(const Control& control);
  void Connect(const Control& control);

  Station& station_;
  Complaint complain_;
  std::vector<Control> controls_;
};

}  // namespace velluma
