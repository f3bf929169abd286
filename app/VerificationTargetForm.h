#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "calibration/Station.h"

namespace velluma {

// The verification's target and thresholds as the operator sets them: each control stands for
// one verification setting, carries that setting's name as its object name, shows what is
// stored and stores what is chosen at once. A text that names nothing is refused with its
// reason and the control shows the stored value again.
class VerificationTargetForm : public QWidget {
  Q_OBJECT

 public:
  using Complaint = std::function<void(const std::string& text)>;

  VerificationTargetForm(Station& station, Complaint complain, QWidget* parent = nullptr);

  // Shows the stored values (the fallback of each that is missing).
  void Load();

 private:
  struct Control {
    const setting::Text* setting;
    const char* label;
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
