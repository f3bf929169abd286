#pragma once

#include <QObject>
#include <vector>

#include "calibration/RunHistory.h"

namespace velluma {

class ChartView;

// The drift of a monitor over time, from the runs of the history: AUTO's MaxBright on the left
// axis and the verifications' average grey ΔE2000 on the right one, over dates in UTC.
class HistoryChart : public QObject {
  Q_OBJECT

 public:
  explicit HistoryChart(QObject* parent = nullptr);

  ChartView* View() const { return view_; }
  void Show(const std::vector<history::Record>& records);

 private:
  ChartView* view_ = nullptr;
};

}  // namespace velluma
