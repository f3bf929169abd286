#pragma once

#include <QWidget>
#include <functional>

namespace velluma {

// Status-bar panel 1. Whenever it paints, it hands its rectangle to `onPaint` (which keeps it as
// the progress rectangle) and then draws the progress the station reports, so a repaint in the
// middle of a measurement never erases the bar.
class ProgressPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressPanel(QWidget* parent = nullptr);

  std::function<void(const QRect&)> onPaint;
  // Pixels of the bar to fill, from the left edge; 0 draws nothing.
  std::function<int()> filledWidth;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace velluma
