#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace velluma {

// The version dialog: the program's icon, name and version, and an OK button.
class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QPushButton* OKButton = nullptr;
};

}  // namespace velluma
