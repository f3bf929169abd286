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

  // What the panel shows until the next fill: a rectangle in a colour, drawn at once.
  void Fill(const QRect& area, const QColor& colour);
  const QRect& FilledArea() const { return area_; }
  const QColor& FilledColour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect area_;
  QColor colour_;
};

}  // namespace velluma
