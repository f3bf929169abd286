#include "datafiles/SvgWriter.h"

#include <utility>

#include "datafiles/MarkupText.h"
#include "platform/CLocale.h"

namespace velluma {
namespace {

std::string Number(double v) {
  return FormatC("%.1f", v);
}

}  // namespace

SvgWriter::SvgWriter(double width, double height, std::string_view title) {
  const std::string w = Number(width), h = Number(height), name = EscapeMarkup(title);
  out_ = "<svg viewBox=\"0 0 " + w + " " + h + "\" width=\"" + w + "\" height=\"" + h +
         "\" role=\"img\" aria-label=\"" + name + "\"><title>" + name + "</title>\n";
}

void SvgWriter::Open(std::string_view element, std::string_view cssClass) {
  out_ += "<";
  out_ += element;
  out_ += " class=\"" + EscapeMarkup(cssClass) + "\"";
}

void SvgWriter::Attribute(std::string_view name, double value) {
  out_ += " ";
  out_ += name;
  out_ += "=\"" + Number(value) + "\"";
}

void SvgWriter::Points(const std::vector<Point>& points) {
  out_ += " points=\"";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) out_ += " ";
    out_ += Number(points[i].x) + "," + Number(points[i].y);
  }
  out_ += "\"/>\n";
}

void SvgWriter::Line(Point from, Point to, std::string_view cssClass) {
  Open("line", cssClass);
  Attribute("x1", from.x);
  Attribute("y1", from.y);
  Attribute("x2", to.x);
  Attribute("y2", to.y);
  out_ += "/>\n";
}

void SvgWriter::Polyline(const std::vector<Point>& points, std::string_view cssClass) {
  Open("polyline", cssClass);
  Points(points);
}

void SvgWriter::Polygon(const std::vector<Point>& points, std::string_view cssClass) {
  Open("polygon", cssClass);
  Points(points);
}

void SvgWriter::Rect(Point topLeft, double width, double height, std::string_view cssClass) {
  Open("rect", cssClass);
  Attribute("x", topLeft.x);
  Attribute("y", topLeft.y);
  Attribute("width", width);
  Attribute("height", height);
  out_ += "/>\n";
}

void SvgWriter::Circle(Point centre, double radius, std::string_view cssClass) {
  Open("circle", cssClass);
  Attribute("cx", centre.x);
  Attribute("cy", centre.y);
  Attribute("r", radius);
  out_ += "/>\n";
}

void SvgWriter::Text(Point at, std::string_view text, std::string_view cssClass, Anchor anchor,
                     double degrees) {
  static constexpr const char* kAnchors[] = {"start", "middle", "end"};
  Open("text", cssClass);
  Attribute("x", at.x);
  Attribute("y", at.y);
  out_ += " text-anchor=\"";
  out_ += kAnchors[static_cast<int>(anchor)];
  out_ += "\"";
  if (degrees != 0) {
    out_ += " transform=\"rotate(";
    out_ += Number(degrees) + " " + Number(at.x) + " " + Number(at.y);
    out_ += ")\"";
  }
  out_ += ">";
  out_ += EscapeMarkup(text);
  out_ += "</text>\n";
}

std::string SvgWriter::Finish() {
  out_ += "</svg>";
  return std::exchange(out_, {});
}

}  // namespace velluma
