#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velluma {

// A small writer of SVG drawings for the reports: one <svg> element to place inline in an HTML
// page, in user units with y downwards, every shape styled by a CSS class of the page. Numbers
// are written in the C locale with 0.1 unit of resolution; text is escaped.
class SvgWriter {
 public:
  struct Point {
    double x, y;
  };
  enum class Anchor { Start, Middle, End };

  // `title` names the drawing for screen readers and as its tooltip.
  SvgWriter(double width, double height, std::string_view title);

  void Line(Point from, Point to, std::string_view cssClass);
  void Polyline(const std::vector<Point>& points, std::string_view cssClass);
  void Polygon(const std::vector<Point>& points, std::string_view cssClass);
  void Rect(Point topLeft, double width, double height, std::string_view cssClass);
  void Circle(Point centre, double radius, std::string_view cssClass);
  // Text with its baseline at `at`; turned by `degrees` (clockwise) about that point.
  void Text(Point at, std::string_view text, std::string_view cssClass,
            Anchor anchor = Anchor::Start, double degrees = 0);

  // The drawing, closed. The writer is empty afterwards.
  std::string Finish();

 private:
  void Open(std::string_view element, std::string_view cssClass);
  void Attribute(std::string_view name, double value);
  void Points(const std::vector<Point>& points);

  std::string out_;
};

}  // namespace velluma
