// The names of tone curves, gamuts and white points as settings and the command line write
// them. Numbers are read with std::from_chars, which never depends on the locale.
#include <algorithm>
#include <cctype>
#include <charconv>

#include "colour/Cie1931Observer.h"
#include "colour/Target.h"

namespace velluma::colour {
namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A whole text that is one decimal number, blanks around it allowed.
bool WholeNumber(std::string_view text, double& value) {
  text = TrimBlanks(text);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size();
}

// A chromaticity a real colour can have. Outside the horseshoe the white's XYZ has no meaning
// (at x + y = 1 it has no Z at all, at y near 0 no finite X and Z), and the run none of its
// figures.
bool PhysicalChromaticity(Chromaticity c) {
  return c.x > 0 && c.y > 0 && c.x + c.y < 1 && InsideSpectralLocus(c);
}

}  // namespace

bool ParseToneCurve(std::string_view text, ToneCurve& curve) {
  for (ToneCurve candidate : {ToneCurve::Power22, ToneCurve::Power24, ToneCurve::Bt1886}) {
    if (SameLetters(TrimBlanks(text), ToneCurveName(candidate))) {
      curve = candidate;
      return true;
    }
  }
  return false;
}

bool ParseGamut(std::string_view text, const Gamut*& gamut) {
  for (const Gamut* candidate : {&kRec709, &kDciP3}) {
    if (SameLetters(TrimBlanks(text), candidate->name)) {
      gamut = candidate;
      return true;
    }
  }
  return false;
}

bool ParseWhitePoint(std::string_view text, Chromaticity& white) {
  if (SameLetters(TrimBlanks(text), "D65")) {
    white = kD65;
    return true;
  }
  Chromaticity parsed;
  if (!ParseXy(text, parsed) || !PhysicalChromaticity(parsed)) return false;
  white = parsed;
  return true;
}

bool ParseXy(std::string_view text, Chromaticity& xy) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  Chromaticity parsed;
  if (!WholeNumber(text.substr(0, comma), parsed.x) ||
      !WholeNumber(text.substr(comma + 1), parsed.y))
    return false;
  xy = parsed;
  return true;
}

std::string ToneCurveName(ToneCurve curve) {
  switch (curve) {
    case ToneCurve::Power22:
      return std::string(kToneCurveNames[0]);
    case ToneCurve::Power24:
      return std::string(kToneCurveNames[1]);
    case ToneCurve::Bt1886:
      return std::string(kToneCurveNames[2]);
  }
  return "";
}

}  // namespace velluma::colour
