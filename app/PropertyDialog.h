#pragma once

#include <QDialog>
#include <functional>

#include "platform/SettingsStore.h"

class QComboBox;
class QPushButton;
class QTabWidget;

namespace velluma {

// The settings dialog, "Property": monitor link type, port and speed, instrument model and port,
// LUT file format. It reads the stored settings when shown and writes them on APPLY and OK; it
// does no device work itself. Made once and reused, so a list keeps its selection between
// showings where the settings do not override it. Controls named "propertyPages",
// "monitorTypeList", "monitorPortList", "monitorSpeedList", "analyzerModelList",
// "analyzerPortList", "lutFormatList", "okButton", "cancelButton", "applyButton".
class PropertyDialog : public QDialog {
  Q_OBJECT

 public:
  // `report` shows an error that escaped a button (the application's top-level handler).
  PropertyDialog(SettingsStore& settings, std::function<void(const std::exception&)> report,
                 QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowStoredSettings();
  // A choice of the operator's: APPLY becomes usable.
  void MarkChanged();
  void AnalyzerModelChosen();
  void Apply();
  void ApplyAndClose();
  void Cancel();
  QWidget* BuildConnectPage();
  QWidget* BuildCalibrationPage();
  QWidget* BuildLookUpTablePage();
  void Guarded(const std::function<void()>& handler);

  SettingsStore& settings_;
  std::function<void(const std::exception&)> report_;
  QTabWidget* pages_ = nullptr;
  QComboBox* monitorTypeList_ = nullptr;
  QComboBox* monitorPortList_ = nullptr;
  QComboBox* monitorSpeedList_ = nullptr;
  QComboBox* analyzerModelList_ = nullptr;
  QComboBox* analyzerPortList_ = nullptr;
  QComboBox* lutFormatList_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* applyButton_ = nullptr;
};

}  // namespace velluma
