#include "calibration/VerificationRequest.h"

#include <cmath>
#include <stdexcept>

#include "platform/CLocale.h"
#include "platform/ConvertError.h"
#include "platform/TextToNumber.h"

namespace velluma {

namespace {

// ΔE2000 thresholds above this are no verdict at all.
constexpr double kMaxThreshold = 100.0;

std::optional<double> Threshold(std::string_view text) {
  try {
    const double value = StrToFloat(std::string(text));
    if (value >= 0 && value <= kMaxThreshold) return value;
  } catch (const ConvertError&) {
  }
  return std::nullopt;
}

std::optional<int> GreySteps(std::string_view text) {
  try {
    const std::int32_t steps = StrToInt(std::string(text));
    if (steps >= VerificationRequest::kMinGreySteps && steps <= VerificationRequest::kMaxGreySteps)
      return steps;
  } catch (const ConvertError&) {
  }
  return std::nullopt;
}

bool IsThreshold(const setting::Text& setting) {
  return &setting == &setting::kVerifyGreyAverage || &setting == &setting::kVerifyGreyMaximum ||
         &setting == &setting::kVerifyColourAverage || &setting == &setting::kVerifyColourMaximum;
}

// The stored text, or the fallback when there is none.
std::string StoredText(const SettingsStore& settings, const setting::Text& setting) {
  std::string text = settings.Read(setting);
  return text.empty() ? std::string(setting.fallback) : text;
}

std::string CheckedText(const SettingsStore& settings, const setting::Text& setting) {
  std::string text = StoredText(settings, setting);
  if (const auto problem = VerificationValueProblem(setting, text))
    throw std::invalid_argument(std::string(setting.name) + ": " + *problem);
  return text;
}

double CheckedThreshold(const SettingsStore& settings, const setting::Text& setting) {
  return *Threshold(CheckedText(settings, setting));
}

}  // namespace

std::optional<std::string> VerificationValueProblem(const setting::Text& setting,
                                                    std::string_view text) {
  std::string quoted = "\"";
  quoted.append(text).append("\" ");
  if (&setting == &setting::kVerifyWhitePoint) {
    colour::Chromaticity white;
    if (colour::ParseWhitePoint(text, white)) return std::nullopt;
    // Numbers in the range the sentence below names, yet of no colour (x + y of 1, a point
    // outside the spectral locus): that sentence would not say what is wrong with them.
    if (colour::ParseXy(text, white) && white.x > 0 && white.y > 0 && white.x + white.y <= 1)
      return quoted + "is not a white point: no colour has that chromaticity";
    return quoted + "is not a white point: D65, or x,y (each between 0 and 1)";
  }
  if (&setting == &setting::kVerifyToneCurve) {
    colour::ToneCurve curve;
    if (colour::ParseToneCurve(text, curve)) return std::nullopt;
    return quoted + "is not a tone curve: 2.2, 2.4 or BT.1886";
  }
  if (&setting == &setting::kVerifyGamut) {
    const colour::Gamut* gamut = nullptr;
    if (colour::ParseGamut(text, gamut)) return std::nullopt;
    return quoted + "is not a gamut: Rec.709 or DCI-P3";
  }
  if (&setting == &setting::kVerifyGreySteps) {
    if (GreySteps(text)) return std::nullopt;
    return quoted + "is not a number of grey steps: a whole number from 2 to 256";
  }
  if (IsThreshold(setting)) {
    if (Threshold(text)) return std::nullopt;
    return quoted + "is not a threshold: a ΔE2000 from 0 to 100";
  }
  return quoted + "belongs to no verification setting";
}

VerificationRequest ReadVerificationRequest(const SettingsStore& settings) {
  VerificationRequest request;
  colour::ParseWhitePoint(CheckedText(settings, setting::kVerifyWhitePoint), request.target.white);
  colour::ParseToneCurve(CheckedText(settings, setting::kVerifyToneCurve), request.target.curve);
  colour::ParseGamut(CheckedText(settings, setting::kVerifyGamut), request.target.gamut);
  request.greySteps = *GreySteps(CheckedText(settings, setting::kVerifyGreySteps));
  request.thresholds.greyAverage = CheckedThreshold(settings, setting::kVerifyGreyAverage);
  request.thresholds.greyMaximum = CheckedThreshold(settings, setting::kVerifyGreyMaximum);
  request.thresholds.colourAverage = CheckedThreshold(settings, setting::kVerifyColourAverage);
  request.thresholds.colourMaximum = CheckedThreshold(settings, setting::kVerifyColourMaximum);
  return request;
}

std::string WhitePointText(const colour::Chromaticity& white) {
  if (white.x == colour::kD65.x && white.y == colour::kD65.y) return "D65";
  return FormatC("%.4f", white.x) + "," + FormatC("%.4f", white.y);
}

}  // namespace velluma
