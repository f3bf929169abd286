#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "app/VerificationTargetForm.h"
#include "calibration/HeldData.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace velluma {

class StringGridModel;
class VerificationPage;

// The "Calibration" tab: the Control group (AUTO, PC -> MONITOR, 0-CAL.), the "Yxy Value" group
// with the last measured patch, the two "Analyzer Offset" edits, Verify, and Correct with the
// user memory it corrects; beside them the pages of the grey levels ("Yxy Table"), the primaries
// ("LCD Color") and the Verification page. Controls named "autoButton", "sendCalibrationButton",
// "zeroCalibrationButton", "verifyButton", "correctButton", "correctMemoryList",
// "measuredPatchLabel", "measuredXEdit", "measuredYEdit",
// "measuredLuminanceEdit", "analyzerOffsetXEdit", "analyzerOffsetYEdit", "tablePages",
// "greyLevelTable", "primaryTable".
class CalibrationTab : public QWidget {
  Q_OBJECT

 public:
  // `complain` shows what the verification target refuses.
  CalibrationTab(Station& station, VerificationTargetForm::Complaint complain,
                 QWidget* parent = nullptr);
  ~CalibrationTab() override;

  // The "Yxy Value" group: a patch's x, y, Y and name, drawn at once.
  void ShowMeasurement(const std::string& x, const std::string& y, const std::string& Y,
                       const std::string& patchName);
  // The offset edits, axis 0 x and 1 y.
  std::string OffsetText(int axis) const;
  void SetOffsetText(int axis, const std::string& text);
  // AUTO, 0-CAL., Verify, PC -> MONITOR, Correct with its memory list and the offset edits
  // (read-only rather than disabled), in this order.
  void SetUsable(bool usable);
  // The memory Correct works on: 0..2 for USER1..USER3.
  int CorrectMemory() const;
  std::string CorrectMemoryName() const;
  // Chooses the memory named `name`; without one the choice stays.
  void SelectCorrectMemory(const std::string& name);
  // Fills the table of the page in front: the grey levels on the "Yxy Table" page, else the
  // primaries.
  void ShowTables(const CalibrationData& data);
  void ShowGreyLevelPage();
  void ShowVerificationPage();
  VerificationPage& Verification() { return *verification_; }

 signals:
  void AutoRequested();
  void SendRequested();
  void ZeroCalibrationRequested();
  void VerifyRequested();
  void CorrectRequested();
  void CorrectMemoryChosen();
  // The operator left an offset edit (axis 0 x, 1 y); a menu opening over the window or another
  // application taking the front is not leaving it.
  void OffsetLeft(int axis);
  void GreyLevelEdited(int column, int row, const QString& text);
  void PrimaryEdited(int column, int row, const QString& text);
  void TablePageChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildControlGroup();
  QWidget* BuildValueGroup();
  QLayout* BuildOffsetsAndVerify();
  void AddCorrectRow(QGridLayout& grid, int row);
  QTabWidget* BuildTablePages(Station& station, VerificationTargetForm::Complaint complain);

  QPushButton* autoButton_ = nullptr;
  QPushButton* sendButton_ = nullptr;
  QPushButton* zeroCalibrationButton_ = nullptr;
  QPushButton* verifyButton_ = nullptr;
  QPushButton* correctButton_ = nullptr;
  QComboBox* correctMemory_ = nullptr;
  QLabel* measuredPatch_ = nullptr;
  std::array<QLineEdit*, 3> measured_{};     // x, y, Y
  std::array<QLineEdit*, 2> offsetEdits_{};  // x, y
  QTabWidget* tablePages_ = nullptr;
  StringGridModel* greyLevels_ = nullptr;
  StringGridModel* primaries_ = nullptr;
  VerificationPage* verification_ = nullptr;
};

}  // namespace velluma
