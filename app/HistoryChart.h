#pragma once

#include <QObject>
#include <vector>

#include "calibration/RunHistory.h"

class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace velluma {

// The drift of a monitor over time, from the runs of the history: AUTO's MaxBright on the left
// axis and the verifications' average grey ΔE2000 on the right one.
class HistoryChart : public QObject {
  Q_OBJECT

 public:
  explicit HistoryChart(QObject* parent = nullptr);

  QChartView* View() const { return view_; }
  void Show(const std::vector<history::Record>& records);

 private:
  QChartView* view_ = nullptr;
  QLineSeries* maxBright_ = nullptr;
  QLineSeries* greyDeltaE_ = nullptr;
  QDateTimeAxis* timeAxis_ = nullptr;
  QValueAxis* brightAxis_ = nullptr;
  QValueAxis* deltaEAxis_ = nullptr;
};

}  // namespace velluma
