#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

namespace velluma {

// Status-bar panel 1: the grey ramp's progress. The station reports how many levels of how many
// are done; the panel draws the bar from its own geometry whenever it paints, so a repaint in
// the middle of a measurement never erases the bar and a resized panel keeps it right.
class ProgressPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressPanel(QWidget* parent = nullptr);

  // `done` of `total`: a blue bar from the left edge over that share of the width (truncated),
  // drawn at once. Clear() paints the whole panel in the button face again.
  void ShowProgress(int done, int total);
  void Clear();

  // What the panel shows now, in its current geometry.
  QRect FilledArea() const;
  QColor FilledColour() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool cleared_ = true;
  int done_ = 0;
  int total_ = 1;
};

}  // namespace velluma
