#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calibration/StationSettings.h"
#include "colour/Target.h"
#include "colour/Verification.h"
#include "platform/SettingsStore.h"

namespace velluma {

// What a verification compares the monitor with and how strictly: the target, the verdict
// thresholds and the number of grey steps (0 to 255 in equal steps, both ends included).
struct VerificationRequest {
  static constexpr int kMinGreySteps = 2;
  static constexpr int kMaxGreySteps = 256;

  colour::Target target;
  colour::Thresholds thresholds;
  int greySteps = 21;
};

// The verification settings, each a text.
inline constexpr const setting::Text* kVerificationSettings[] = {
    &setting::kVerifyWhitePoint,    &setting::kVerifyToneCurve,    &setting::kVerifyGamut,
    &setting::kVerifyGreySteps,     &setting::kVerifyGreyAverage,  &setting::kVerifyGreyMaximum,
    &setting::kVerifyColourAverage, &setting::kVerifyColourMaximum};

// Why `text` cannot be the value of the verification setting `setting`, in a sentence that
// names the setting's expected form; none when it can.
std::optional<std::string> VerificationValueProblem(const setting::Text& setting,
                                                    std::string_view text);

// The request the settings hold; a missing value (or an empty text) is its fallback.
// std::invalid_argument naming the setting when a stored text means nothing.
VerificationRequest ReadVerificationRequest(const SettingsStore& settings);

// A white point as the setting writes it: "D65", or "x,y" with four decimals.
std::string WhitePointText(const colour::Chromaticity& white);

}  // namespace velluma
