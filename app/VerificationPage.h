#pragma once

#include <QWidget>
#include <optional>

#include "app/VerificationTargetForm.h"
#include "calibration/VerificationView.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace velluma {

class VerificationCharts;

// The "Verification" page beside the calibration tables: the verdict line, the three charts and
// the target on tabs of their own, and the buttons that stop a run and save its report. It is
// the view a verification run shows itself on; the window's Verify button starts the run.
class VerificationPage : public QWidget, public VerificationView {
  Q_OBJECT

 public:
  VerificationPage(Station& station, VerificationTargetForm::Complaint complain,
                   QWidget* parent = nullptr);

  // Before a run: the charts emptied, Abort usable, the target and the save buttons not.
  void BeginRun();
  // After it: the result kept for saving (a finished run only), the target usable again.
  void EndRun(const VerificationResult& result);
  // The last finished run; none before one, or after a run that was stopped or failed.
  const std::optional<VerificationResult>& Finished() const { return finished_; }

  void ShowVerification(const VerificationResult& soFar) override;
  bool StopRequested() override { return stopRequested_; }

  VerificationTargetForm* Target = nullptr;
  QLabel* VerdictLabel = nullptr;
  QTabWidget* ChartPages = nullptr;
  QPushButton* AbortButton = nullptr;
  QPushButton* SaveReportButton = nullptr;
  QPushButton* SaveCsvButton = nullptr;

 private:
  VerificationCharts* charts_ = nullptr;
  bool stopRequested_ = false;
  std::optional<VerificationResult> finished_;
};

}  // namespace velluma
