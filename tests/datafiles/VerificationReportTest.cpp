// The verification report: the CSV exactly as written, under a decimal-comma locale too; the
// HTML page well-formed as XML, self-contained, with its three charts; files that cannot be
// written leave nothing behind.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/VerificationReport.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ReportInfo Info() {
  ReportInfo info;
  info.instrument = "CA-310\nfake: line";  // a line end must not start a header line of its own
  info.monitor = "QX-7MR520";
  info.timeUtc = "2025-03-14T09:26:53Z";
  info.target = {colour::kD65, colour::ToneCurve::Bt1886, &colour::kDciP3};
  return info;
}

// Figures set by hand, so the rows below are what the writer makes of them and nothing else.
colour::VerificationFigures HandMadeFigures() {
  colour::PatchFigures white;
  white.reading = {"white", 255, 255, 255, 0.3127, 0.329, 120};
  white.measured = {114.05466, 120, 130.68762};
  white.lab = {100, 0, -0.0000004};  // rounds to zero: no "-0.000"
  white.targetLab = {100, 0, 0};
  white.deltaE = 0.0004;
  colour::PatchFigures red;
  red.reading = {"red, \"deep\"", 255, 0, 0, 0.64014, 0.32986, 25.5};
  red.measured = {49.4786, 25.5, 2.32471};
  red.lab = {57.5, 80.25, 69.1254};
  red.targetLab = {57.4, 80.1, 69.0};
  red.deltaE = 6.5;
  red.passes = false;
  colour::PatchFigures lost;  // a reading that was not a number
  lost.reading = {"blue", 0, 0, 255, kNaN, 0.06, 9.0};
  lost.measured = {kNaN, 9.0, kNaN};
  lost.lab = lost.targetLab = {kNaN, kNaN, kNaN};
  lost.deltaE = kNaN;
  lost.passes = false;
  colour::VerificationFigures f;
  f.patches = {white, red, lost};
  return f;
}

TEST(VerificationReportTest, CsvAsWrittenEvenUnderADecimalCommaLocale) {
  ASSERT_TRUE(test::UseDecimalCommaLocale()) << "scripts/setup generates de_DE.UTF-8";
  const std::string csv = VerificationCsv(HandMadeFigures(), Info());
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(csv,
            "# instrument: CA-310 fake: line\n"
            "# monitor: QX-7MR520\n"
            "# time: 2025-03-14T09:26:53Z\n"
            "# target: white 0.3127,0.3290, curve BT.1886, gamut DCI-P3\n"
            "# thresholds: grey average 1.00, grey maximum 2.00, colour average 3.00, colour "
            "maximum 5.00\n"
            "name,R,G,B,x,y,Y,X,Y,Z,L*,a*,b*,target L*,target a*,target b*,dE2000,verdict\n"
            "white,255,255,255,0.3127,0.3290,120.0000,114.0547,120.0000,130.6876,"
            "100.000,0.000,0.000,100.000,0.000,0.000,0.000,pass\n"
            "\"red, \"\"deep\"\"\",255,0,0,0.6401,0.3299,25.5000,49.4786,25.5000,2.3247,"
            "57.500,80.250,69.125,57.400,80.100,69.000,6.500,fail\n"
            "blue,0,0,255,,0.0600,9.0000,,9.0000,,,,,,,,,fail\n");
}

// Whether a text is well-formed XML as far as a report needs: every tag closed in order,
// attribute values quoted, '&' only in entities, no stray '<'. Declarations and comments are
// skipped. Returns what is wrong, or nothing.
std::string XmlProblem(std::string_view doc) {
  std::vector<std::string> open;
  std::size_t i = 0;
  const auto entityAt = [&](std::size_t at) {
    const std::size_t end = doc.find(';', at);
    if (end == std::string_view::npos || end - at > 10) return false;
    const std::string_view name = doc.substr(at + 1, end - at - 1);
    if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos")
      return true;
    return name.size() > 1 && name[0] == '#' &&
           name.find_first_not_of("0123456789", 1) == std::string_view::npos;
  };
  while (i < doc.size()) {
    if (doc[i] == '&' && !entityAt(i)) return "a bare & at " + std::to_string(i);
    if (doc[i] != '<') {
      ++i;
      continue;
    }
    if (doc.substr(i, 4) == "<!--") {
      i = doc.find("-->", i);
      if (i == std::string_view::npos) return "an unclosed comment";
      i += 3;
      continue;
    }
    const std::size_t end = doc.find('>', i);
    if (end == std::string_view::npos) return "an unclosed tag at " + std::to_string(i);
    std::string_view tag = doc.substr(i + 1, end - i - 1);
    i = end + 1;
    if (tag.starts_with("!DOCTYPE")) continue;
    if (tag.find('<') != std::string_view::npos) return "a '<' inside a tag: " + std::string(tag);
    if (tag.starts_with("/")) {
      if (open.empty() || open.back() != tag.substr(1))
        return "</" + std::string(tag) + "> unmatched";
      open.pop_back();
      continue;
    }
    const bool empty = tag.ends_with("/");
    if (empty) tag.remove_suffix(1);
    const std::string name(tag.substr(0, tag.find_first_of(" \n")));
    // Attributes: name="value", each value in quotes.
    for (std::size_t eq = tag.find('='); eq != std::string_view::npos; eq = tag.find('=', eq + 1)) {
      if (eq + 1 >= tag.size() || tag[eq + 1] != '"') return "an unquoted value in <" + name + ">";
      eq = tag.find('"', eq + 2);
      if (eq == std::string_view::npos) return "an unclosed value in <" + name + ">";
    }
    if (!empty) open.push_back(name);
  }
  if (!open.empty()) return "<" + open.back() + "> never closed";
  return "";
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(VerificationReportTest, HtmlIsWellFormedSelfContainedAndHasItsCharts) {
  ReportInfo info = Info();
  info.monitor = "<QX & \"7\">";
  info.target = {};
  const std::vector<colour::PatchReading> readings = {
      {"white", 255, 255, 255, 0.3127, 0.3290, 120},   {"black", 0, 0, 0, 0.3127, 0.3290, 0.1},
      {"grey 128", 128, 128, 128, 0.3200, 0.3200, 26}, {"red", 255, 0, 0, 0.64, 0.33, 25.5},
      {"green", 0, 255, 0, 0.30, 0.60, 85.8},          {"blue", 0, 0, 255, 0.15, 0.06, 8.7},
      {"odd \xff name", 255, 255, 0, 0.42, 0.50, 111}};
  const std::vector<colour::PatchReading> firstTwo(readings.begin(), readings.begin() + 2);
  const struct {
    const char* name;
    colour::VerificationFigures figures;
  } cases[] = {{"a run", colour::Evaluate(readings, info.target, info.thresholds)},
               {"nothing measured", {}},
               {"not a number", HandMadeFigures()},
               {"stopped", colour::Evaluate(firstTwo, readings, info.target, info.thresholds)}};
  for (const auto& c : cases) {
    const std::string html = VerificationHtml(c.figures, info);
    EXPECT_EQ(XmlProblem(html), "") << c.name;
    EXPECT_EQ(Count(html, "<svg "), 3u) << c.name;
    EXPECT_EQ(Count(html, "</svg>"), 3u) << c.name;
    EXPECT_EQ(Count(html, "http://") + Count(html, "https://"), 0u) << c.name;
    EXPECT_EQ(Count(html, "<script"), 0u) << c.name;
    EXPECT_EQ(Count(html, "@media print"), 1u) << c.name;
    EXPECT_EQ(Count(html, "&lt;QX &amp; &quot;7&quot;&gt;"), 2u) << c.name;  // title, facts
    // 5 facts, 3 verdict rows, 6 white and contrast rows, the patches' heading and one a patch.
    EXPECT_EQ(Count(html, "<tr><th>"), 15 + c.figures.patches.size()) << c.name;
  }
  const std::string html = VerificationHtml(cases[0].figures, info);
  EXPECT_NE(html.find("odd \xEF\xBF\xBD name"), std::string::npos);  // not UTF-8: U+FFFD
  EXPECT_NE(html.find("The display fails."), std::string::npos);     // the tinted grey
  // A run stopped among its greys: no verdict at all, and none for the colours it never reached.
  const std::string stopped = VerificationHtml(cases[3].figures, info);
  EXPECT_NE(stopped.find("Not every patch was measured."), std::string::npos);
  EXPECT_NE(stopped.find("<td>–</td></tr>"), std::string::npos);  // the greys: figures only
  EXPECT_NE(stopped.find("<td>not measured</td>"), std::string::npos);
  EXPECT_EQ(Count(stopped, "The display"), 0u);
}

TEST(VerificationReportTest, AFileThatCannotBeWrittenLeavesNothing) {
  test::TempDir dir;
  const colour::VerificationFigures figures = HandMadeFigures();
  // A folder that does not exist, and a folder where the file should be.
  EXPECT_FALSE(WriteVerificationCsv(dir.File("missing/report.csv"), figures, Info()));
  EXPECT_FALSE(WriteVerificationHtml(dir.File("missing/report.html"), figures, Info()));
  std::filesystem::create_directory(dir.File("report.html"));
  EXPECT_FALSE(WriteVerificationHtml(dir.File("report.html"), figures, Info()));
  EXPECT_FALSE(WriteVerificationCsv(dir.File("report.html"), figures, Info()));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"report.html"});
  // And a writable one holds the whole file.
  ASSERT_TRUE(WriteVerificationCsv(dir.File("report.csv"), figures, Info()));
  EXPECT_EQ(dir.Read("report.csv"), VerificationCsv(figures, Info()));
}

}  // namespace
}  // namespace velluma
