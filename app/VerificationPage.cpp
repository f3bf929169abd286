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

QString VerdictText(const VerificationResult& result) {
  const colour::VerificationFigures& f = result.figures;
  if (f.patches.empty()) return {};
  const bool finished = result.outcome == VerificationResult::Outcome::Finished;
  std::string text = FormatC("%d of %d  ", static_cast<int>(f.patches.size()),
                             static_cast<int>(result.planned.size()));
  if (finished) text = f.passes() ? "PASS  " : "FAIL  ";
  text += FormatC("ΔE2000 greys average %.2f, maximum %.2f;  colours average %.2f, maximum %.2f",
                  f.greys.average, f.greys.maximum, f.colours.average, f.colours.maximum);
  if (f.whiteTemperature.kelvin > 0) text += FormatC(";  white %.0f K", f.whiteTemperature.kelvin);
  if (f.contrast > 0) text += FormatC(";  contrast %.0f:1", f.contrast);
  return QString::fromStdString(text);
}

QString VerdictStyle(const VerificationResult& result) {
  if (result.outcome != VerificationResult::Outcome::Finished || result.figures.patches.empty())
    return {};
  return result.figures.passes() ? "color: #2e8b57; font-weight: bold;"
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
