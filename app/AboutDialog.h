#pragma once

#include <QDialog>

namespace velluma {

// The version dialog: the program's icon, name and version, and an OK button (named
// "programIcon", "productName", "versionLabel", "okButton").
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace velluma
