#pragma once

#include <QDialog>
#include <functional>

#include "platform/SettingsStore.h"

class QComboBox;
class QPushButton;
class QTabWidget;

namespace velluma {

// The settings dialog: monitor link type, port and speed, instrument model and port, LUT file
// format. It reads the stored settings when shown and writes them on APPLY and OK; it does no
// device work itself. Created once and reused, so a list keeps its selection between showings
// where the settings do not override it.
class TPropertyForm : public QDialog {
  Q_OBJECT

 public:
  // `report` shows an error that escaped a button (the application's top-level handler).
  TPropertyForm(SettingsStore& settings, std::function<void(const std::exception&)> report,
                QWidget* parent = nullptr);

  void FormShow();
  void TypeComboBoxChange();
  void MPortComboBoxChange();
  void MSpeedComboBoxChange();
  void APortComboBoxChange();
  void AModelComboBoxChange();
  void APPLYButtonClick();
  void OKButtonClick();
  void CANCELButtonClick();

  QTabWidget* PageControl = nullptr;
  QComboBox* TypeComboBox = nullptr;
  QComboBox* MPortComboBox = nullptr;
  QComboBox* MSpeedComboBox = nullptr;
  QComboBox* AModelComboBox = nullptr;
  QComboBox* APortComboBox = nullptr;
  QComboBox* LutFileTypeComboBox = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CANCELButton = nullptr;
  QPushButton* APPLYButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildConnectPage();
  QWidget* BuildCalibrationPage();
  QWidget* BuildLookUpTablePage();
  void Guarded(const std::function<void()>& handler);

  SettingsStore& settings_;
  std::function<void(const std::exception&)> report_;
};

}  // namespace velluma
