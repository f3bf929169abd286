#pragma once

#include <QObject>

#include "calibration/CorrectionResult.h"
#include "calibration/VerificationResult.h"

namespace velluma {

class ChartView;

// The three pictures of a verification: the measured tone curve over the target's, ΔE2000 per
// patch as bars coloured by verdict, and the CIE 1931 xy diagram with the target gamut, the
// measured primaries and secondaries, and the white. Of a correction, both verifications: the
// greys before and after on one tone curve, each patch's ΔE2000 before (grey) and after side by
// side, and the chromaticities of the latest. Each is redrawn from the run so far. The views
// are named "toneCurveChart", "deltaEChart" and "chromaticityChart".
class VerificationCharts : public QObject {
  Q_OBJECT

 public:
  explicit VerificationCharts(QObject* parent = nullptr);

  ChartView* ToneCurve() const { return toneView_; }
  ChartView* DeltaE() const { return deltaEView_; }
  ChartView* Chromaticity() const { return xyView_; }

  void Show(const VerificationResult& result);
  void ShowCorrection(const CorrectionResult& result);

 private:
  ChartView* toneView_ = nullptr;
  ChartView* deltaEView_ = nullptr;
  ChartView* xyView_ = nullptr;
};

}  // namespace velluma
