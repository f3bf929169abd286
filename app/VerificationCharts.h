#pragma once

#include <QObject>

#include "calibration/VerificationResult.h"

class QBarCategoryAxis;
class QBarSet;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace velluma {

// The three pictures of a verification: the measured tone curve over the target's, ΔE2000 per
// patch as bars coloured by verdict, and the CIE 1931 xy diagram with the target gamut, the
// measured primaries and secondaries, and the white. Each is redrawn from the run so far. The
// views are named "toneCurveChart", "deltaEChart" and "chromaticityChart".
class VerificationCharts : public QObject {
  Q_OBJECT

 public:
  explicit VerificationCharts(QObject* parent = nullptr);

  QChartView* ToneCurve() const { return toneView_; }
  QChartView* DeltaE() const { return deltaEView_; }
  QChartView* Chromaticity() const { return xyView_; }

  void Show(const VerificationResult& result);

 private:
  void BuildToneCurve();
  void BuildDeltaE();
  void BuildChromaticity();
  void ShowToneCurve(const VerificationResult& result);
  void ShowDeltaE(const VerificationResult& result);
  void ShowChromaticity(const VerificationResult& result);

  QChartView* toneView_ = nullptr;
  QLineSeries* targetCurve_ = nullptr;
  QScatterSeries* measuredCurve_ = nullptr;

  QChartView* deltaEView_ = nullptr;
  QBarSet* passingBars_ = nullptr;
  QBarSet* failingBars_ = nullptr;
  QBarCategoryAxis* patchAxis_ = nullptr;
  QValueAxis* deltaEAxis_ = nullptr;

  QChartView* xyView_ = nullptr;
  QLineSeries* targetGamut_ = nullptr;
  QLineSeries* measuredGamut_ = nullptr;
  QScatterSeries* measuredColours_ = nullptr;
  QScatterSeries* targetWhite_ = nullptr;
  QScatterSeries* measuredWhite_ = nullptr;
};

}  // namespace velluma
