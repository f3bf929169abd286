#include "app/VerificationPage.h"

#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

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

QString VerdictStyle(const VerificationResult& result) {
  if (!Judged(result) || result.figures.patches.empty()) return {};
  return result.figures.Passes() ? "color: #2e8b57; font-weight: bold;"
                                 : "color: #c0392b; font-weight: bold;";
}

}  // namespace

VerificationPage::VerificationPage(Station& station, VerificationTargetForm::Complaint complain,
                                   QWidget* parent)
    : QWidget(parent), charts_(new VerificationCharts(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  VerdictLabel = new QLabel(this);
  VerdictLabel->setWordWrap(true);
  layout->addWidget(VerdictLabel);

  ChartPages = new QTabWidget(this);
  ChartPages->setTabPosition(QTabWidget::South);
  ChartPages->addTab(charts_->ToneCurve(), "Tone Curve");
  ChartPages->addTab(charts_->DeltaE(), "ΔE2000");
  ChartPages->addTab(charts_->Chromaticity(), "CIE xy");
  Target = new VerificationTargetForm(station, std::move(complain));
  ChartPages->addTab(Target, "Target");
  layout->addWidget(ChartPages, 1);

  auto* buttons = new QHBoxLayout;
  AbortButton = new QPushButton("Abort", this);
  SaveReportButton = new QPushButton("Save Report...", this);
  SaveCsvButton = new QPushButton("Save CSV...", this);
  buttons->addWidget(AbortButton);
  buttons->addStretch(1);
  buttons->addWidget(SaveReportButton);
  buttons->addWidget(SaveCsvButton);
  layout->addLayout(buttons);
  AbortButton->setEnabled(false);
  SaveReportButton->setEnabled(false);
  SaveCsvButton->setEnabled(false);
  connect(AbortButton, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
}

void VerificationPage::BeginRun() {
  stopRequested_ = false;
  finished_.reset();
  AbortButton->setEnabled(true);
  Target->setEnabled(false);
  SaveReportButton->setEnabled(false);
  SaveCsvButton->setEnabled(false);
  VerdictLabel->clear();
  VerdictLabel->setStyleSheet({});
}

void VerificationPage::EndRun(const VerificationResult& result) {
  AbortButton->setEnabled(false);
  Target->setEnabled(true);
  const bool finished = result.outcome == VerificationResult::Outcome::Finished;
  if (finished) finished_ = result;
  SaveReportButton->setEnabled(finished);
  SaveCsvButton->setEnabled(finished);
  ShowVerification(result);
}

void VerificationPage::ShowVerification(const VerificationResult& soFar) {
  charts_->Show(soFar);
  VerdictLabel->setText(VerdictText(soFar));
  VerdictLabel->setStyleSheet(VerdictStyle(soFar));
}

}  // namespace velluma
