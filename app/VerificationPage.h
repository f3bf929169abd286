#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "app/VerificationTargetForm.h"
#include "calibration/CorrectionView.h"
#include "calibration/VerificationView.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace velluma {

class VerificationCharts;

// The "Verification" page beside the calibration tables: the verdict line, the three charts and
// the target on tabs of their own, and the buttons that stop a run and save its report (and a
// correction's LUT). It is the view a verification run, and a correction run with its
// verification before and after, shows itself on; the window's Verify and Correct buttons start
// them. The charts are made when the page is first shown, or a run first shows itself on it.
// Controls named "verificationPage" (itself), "verdictLabel", "verificationChartPages",
// "abortVerificationButton", "saveReportButton", "saveCsvButton", "saveLutButton" and the
// target's.
class VerificationPage : public QWidget, public VerificationView, public CorrectionView {
  Q_OBJECT

 public:
  VerificationPage(Station& station, VerificationTargetForm::Complaint complain,
                   QWidget* parent = nullptr);

  // Shows the stored target (the fallback of each value that is missing).
  void LoadTarget() { target_->Load(); }

  // Before a run: the charts emptied, Abort usable, the target and the save buttons not.
  void BeginRun();
  // After it: the result kept for saving (a finished run only), the target usable again.
  void EndRun(const VerificationResult& result);
  void EndCorrectionRun(const CorrectionResult& result);
  // The last run if it finished, verification or correction; none before one, or after a run
  // that was stopped or failed.
  const std::optional<VerificationResult>& Finished() const { return finished_; }
  const std::optional<CorrectionResult>& FinishedCorrection() const { return finishedCorrection_; }

  void ShowVerification(const VerificationResult& soFar) override;
  void ShowCorrection(const CorrectionResult& soFar) override;
  bool StopRequested() override { return stopRequested_; }

 signals:
  void SaveReportRequested();
  void SaveCsvRequested();
  void SaveLutRequested();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SetSavable(bool savable, bool lut = false);
  void EndAnyRun();
  void MakeCharts();

  QTabWidget* chartPages_ = nullptr;
  std::array<QWidget*, 3> chartHolders_{};  // the tone curve's, ΔE2000's and CIE xy's pages
  VerificationCharts* charts_ = nullptr;
  VerificationTargetForm* target_ = nullptr;
  QLabel* verdictLabel_ = nullptr;
  QPushButton* abortButton_ = nullptr;
  QPushButton* saveReportButton_ = nullptr;
  QPushButton* saveCsvButton_ = nullptr;
  QPushButton* saveLutButton_ = nullptr;
  bool stopRequested_ = false;
  std::optional<VerificationResult> finished_;
  std::optional<CorrectionResult> finishedCorrection_;
};

}  // namespace velluma
