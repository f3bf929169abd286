#include "app/VerificationPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ChartView.h"
#include "app/VerificationCharts.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {

// "greys average 0.42, maximum 0.80", or "colours not measured" for a kind with no patch yet.
std::string KindText(const char* kind, const colour::Verdict& verdict) {
  if (!verdict.Measured()) return std::string(kind) + " not measured";
  return FormatC("%s average %.2f, maximum %.2f", kind, verdict.average, verdict.maximum);
}

// Only a run that finished with every patch measured has a verdict; while a run goes on, its
// outcome already reads finished.
bool Judged(const VerificationResult& result) {
  return result.outcome == VerificationResult::Outcome::Finished &&
         result.readings.size() == result.planned.size();
}

QString VerdictText(const VerificationResult& result) {
  const colour::VerificationFigures& f = result.figures;
  if (f.patches.empty()) return {};
  const bool finished = Judged(result);
  std::string text = FormatC("%d of %d  ", static_cast<int>(f.patches.size()),
                             static_cast<int>(result.planned.size()));
  if (finished) text = f.Passes() ? "PASS  " : "FAIL  ";
  text += "ΔE2000 " + KindText("greys", f.greys) + ";  " + KindText("colours", f.colours);
  if (f.whiteTemperature.kelvin > 0) text += FormatC(";  white %.0f K", f.whiteTemperature.kelvin);
  if (f.contrast > 0) text += FormatC(";  contrast %.0f:1", f.contrast);
  return QString::fromStdString(text);
}

QString StyleOf(bool passes) {
  return passes ? "color: #2e8b57; font-weight: bold;" : "color: #c0392b; font-weight: bold;";
}

QString VerdictStyle(const VerificationResult& result) {
  if (!Judged(result) || result.figures.patches.empty()) return {};
  return StyleOf(result.figures.Passes());
}

// "12 of 27" of a run going on.
std::string Progress(std::size_t done, std::size_t total) {
  return FormatC("%d of %d", static_cast<int>(done), static_cast<int>(total));
}

// What a correction is doing, while it runs.
std::string CorrectionStepText(const CorrectionResult& r) {
  using Step = CorrectionResult::Step;
  switch (r.step) {
    case Step::Preparing:
      return "preparing";
    case Step::SendingIdentity:
      return "sending the identity LUT and a linear film gamma";
    case Step::Asking:
      return "waiting for " + r.MemoryName() + " to be selected on the monitor";
    case Step::VerifyingBefore:
      return "verifying before the correction, " +
             Progress(r.before.readings.size(), r.before.planned.size());
    case Step::MeasuringPanel:
      return "measuring the panel, " + Progress(r.readings.size(), r.planned.size());
    case Step::Building:
      return "building the correction";
    case Step::SendingCorrection:
      return "sending the correction";
    case Step::VerifyingAfter:
      break;
  }
  return "verifying after the correction, " +
         Progress(r.after.readings.size(), r.after.planned.size());
}

std::string Arrow(const colour::Verdict& before, const colour::Verdict& after) {
  return FormatC("%.2f → %.2f", before.average, after.average);
}

// A finished correction's verdict after it, and its greys' and colours' average ΔE2000 before
// and after; the message line it ended with for any other.
QString CorrectionText(const CorrectionResult& r) {
  if (r.outcome != CorrectionResult::Outcome::Finished) {
    if (!r.procedure.report.empty()) return QString::fromStdString(r.procedure.report);
    return QString::fromStdString(r.MemoryName() + ": " + CorrectionStepText(r));
  }
  const colour::VerificationFigures& before = r.before.figures;
  const colour::VerificationFigures& after = r.after.figures;
  return QString::fromStdString(
      std::string(after.Passes() ? "PASS" : "FAIL") + " after the correction of " +
      r.MemoryName() + "  ΔE2000 average: greys " + Arrow(before.greys, after.greys) +
      ";  colours " + Arrow(before.colours, after.colours));
}

}  // namespace

VerificationPage::VerificationPage(Station& station, VerificationTargetForm::Complaint complain,
                                   QWidget* parent)
    : QWidget(parent) {
  setObjectName("verificationPage");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  verdictLabel_ = new QLabel(this);
  verdictLabel_->setObjectName("verdictLabel");
  verdictLabel_->setWordWrap(true);
  layout->addWidget(verdictLabel_);

  chartPages_ = new QTabWidget(this);
  chartPages_->setObjectName("verificationChartPages");
  chartPages_->setTabPosition(QTabWidget::South);
  const char* chartTitles[] = {"Tone Curve", "ΔE2000", "CIE xy"};
  for (std::size_t i = 0; i < chartHolders_.size(); ++i) {
    chartHolders_[i] = new QWidget;
    (new QVBoxLayout(chartHolders_[i]))->setContentsMargins(0, 0, 0, 0);
    chartPages_->addTab(chartHolders_[i], chartTitles[i]);
  }
  target_ = new VerificationTargetForm(station, std::move(complain));
  chartPages_->addTab(target_, "Target");
  layout->addWidget(chartPages_, 1);

  auto* buttons = new QHBoxLayout;
  abortButton_ = new QPushButton("Abort", this);
  abortButton_->setObjectName("abortVerificationButton");
  saveReportButton_ = new QPushButton("Save Report...", this);
  saveReportButton_->setObjectName("saveReportButton");
  saveCsvButton_ = new QPushButton("Save CSV...", this);
  saveCsvButton_->setObjectName("saveCsvButton");
  saveLutButton_ = new QPushButton("Save LUT...", this);
  saveLutButton_->setObjectName("saveLutButton");
  saveLutButton_->setToolTip("Save the correction LUT as a DaVinci Resolve .cube file");
  buttons->addWidget(abortButton_);
  buttons->addStretch(1);
  buttons->addWidget(saveReportButton_);
  buttons->addWidget(saveCsvButton_);
  buttons->addWidget(saveLutButton_);
  layout->addLayout(buttons);
  abortButton_->setEnabled(false);
  SetSavable(false);
  connect(abortButton_, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
  connect(saveReportButton_, &QPushButton::clicked, this, &VerificationPage::SaveReportRequested);
  connect(saveCsvButton_, &QPushButton::clicked, this, &VerificationPage::SaveCsvRequested);
  connect(saveLutButton_, &QPushButton::clicked, this, &VerificationPage::SaveLutRequested);
}

void VerificationPage::showEvent(QShowEvent* event) {
  MakeCharts();
  QWidget::showEvent(event);
}

// Each chart fills its page, and the Tab key finds the three between the page tabs and the target.
void VerificationPage::MakeCharts() {
  if (charts_) return;
  charts_ = new VerificationCharts(this);
  QWidget* before = chartPages_->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
  const std::array<ChartView*, 3> views = {charts_->ToneCurve(), charts_->DeltaE(),
                                            charts_->Chromaticity()};
  for (std::size_t i = 0; i < views.size(); ++i) {
    chartHolders_[i]->layout()->addWidget(views[i]);
    QWidget::setTabOrder(before, views[i]);
    before = views[i];
  }
}

void VerificationPage::SetSavable(bool savable, bool lut) {
  saveReportButton_->setEnabled(savable);
  saveCsvButton_->setEnabled(savable);
  saveLutButton_->setEnabled(lut);
}

void VerificationPage::BeginRun() {
  stopRequested_ = false;
  finished_.reset();
  finishedCorrection_.reset();
  abortButton_->setEnabled(true);
  target_->setEnabled(false);
  SetSavable(false);
  verdictLabel_->clear();
  verdictLabel_->setStyleSheet({});
}

void VerificationPage::EndAnyRun() {
  abortButton_->setEnabled(false);
  target_->setEnabled(true);
}

void VerificationPage::EndRun(const VerificationResult& result) {
  EndAnyRun();
  const bool finished = result.outcome == VerificationResult::Outcome::Finished;
  if (finished) finished_ = result;
  SetSavable(finished);
  ShowVerification(result);
}

void VerificationPage::EndCorrectionRun(const CorrectionResult& result) {
  EndAnyRun();
  const bool finished = result.outcome == CorrectionResult::Outcome::Finished;
  if (finished) finishedCorrection_ = result;
  SetSavable(finished, finished);
  ShowCorrection(result);
}

void VerificationPage::ShowCorrection(const CorrectionResult& soFar) {
  MakeCharts();
  charts_->ShowCorrection(soFar);
  verdictLabel_->setText(CorrectionText(soFar));
  const bool judged = soFar.outcome == CorrectionResult::Outcome::Finished;
  verdictLabel_->setStyleSheet(judged ? StyleOf(soFar.after.figures.Passes()) : QString());
}

void VerificationPage::ShowVerification(const VerificationResult& soFar) {
  MakeCharts();
  charts_->Show(soFar);
  verdictLabel_->setText(VerdictText(soFar));
  verdictLabel_->setStyleSheet(VerdictStyle(soFar));
}

}  // namespace velluma
