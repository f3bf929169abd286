// One patch, and the sequence of 260 patches that AUTO measures.
#include <cmath>
#include <optional>
#include <utility>

#include "calibration/Station.h"
#include "instruments/AnalyzerOffset.h"
#include "monitor/CommandText.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {
constexpr int kSettleMs = 100;
constexpr const char* kMeasurementCaption = "Measurement";
constexpr const char* kTransferCaption = "PC->MONITOR";

// The first value of a measured patch that the monitor's "%07.4f" fields cannot carry (an
// instrument's infinity or NaN, a luminance in the tens of millions), named for the operator.
std::optional<std::string> UnfitValue(const XyYValue& value, const std::string& patch) {
  const std::pair<const char*, double> values[] = {{"x", value.x}, {"y", value.y}, {"Y", value.Y}};
  for (const auto& [name, number] : values)
    if (!command_text::FitsDecimalField(static_cast<float>(number)))
      return std::string(name) + " of " + patch + " is " + FormatC("%g", number);
  return std::nullopt;
}
}  // namespace

bool Station::MeasurePatch(int red, int green, int blue, const std::string& patchName,
                           const std::string& caption, XyYValue& result) {
  return ShowAndMeasure(red, green, blue, patchName, caption, result) == PatchOutcome::Measured;
}

Station::PatchOutcome Station::ShowAndMeasure(int red, int green, int blue,
                                              const std::string& patchName,
                                              const std::string& caption, XyYValue& result) {
  if (int code = Lcd->ShowPattern(red, green, blue); code != 0) {
    op.MessageBox("Monitor: " + Lcd->ErrorText(code), caption, Operator::kError);
    return code == kLinkFailed ? PatchOutcome::MonitorSilent : PatchOutcome::Failed;
  }
  clock.Pause(kSettleMs);
  double x = 0, y = 0, Y = 0;
  if (const InstrumentResult result = AnalyzerMeasure(x, y, Y); !result.Ok()) {
    op.MessageBox("Analyzer: " + AnalyzerErrorText(result), caption, Operator::kError);
    return PatchOutcome::Failed;
  }
  result.x = OffsetValue(op.AnalyzerOffsetText(0)) + x;
  result.y = OffsetValue(op.AnalyzerOffsetText(1)) + y;
  result.Y = Y;
  op.ShowYxyValue(FormatC("%10.4f", result.x), FormatC("%10.4f", result.y),
                  FormatC("%10.3f", result.Y), patchName);
  return PatchOutcome::Measured;
}

// Red, green and blue, each followed by a black screen.
bool Station::MeasurePrimaries() {
  struct Primary {
    int r, g, b;
    const char* name;
  } primaries[] = {{255, 0, 0, "R"}, {0, 255, 0, "G"}, {0, 0, 255, "B"}};
  for (int p = 0; p < 3; ++p) {
    const Primary& c = primaries[p];
    XyYValue measured;
    if (!MeasurePatch(c.r, c.g, c.b, c.name, kMeasurementCaption, measured)) {
      AnalyzerEndRemote();
      return false;
    }
    CalibrationData.Primaries[p] = measured;
    Lcd->ShowPattern(0, 0, 0);
  }
  return true;
}

// Grey levels 0..255, the progress bar growing in panel 1 and the window served once per level.
bool Station::MeasureGreyRamp() {
  const Rect whole = ProgressRect;
  op.DrawProgress(whole.Left, whole.Top, whole.Left, whole.Bottom, Operator::ProgressFill::Blue);
  for (int n = 0; n < CalibrationData::kGreyLevels; ++n) {
    XyYValue measured;
    if (!MeasurePatch(n, n, n, std::to_string(n), kMeasurementCaption, measured)) {
      AnalyzerEndRemote();
      return false;
    }
    CalibrationData.YxyTable[n] = measured;
    const int right =
        whole.Left + static_cast<int>(std::trunc(static_cast<double>(whole.Right - whole.Left) *
                                                 (n + 1) / 256.0));
    op.DrawProgress(whole.Left, whole.Top, right, whole.Bottom, Operator::ProgressFill::Blue);
    op.ProcessMessages();
  }
  return true;
}

bool Station::WriteGreyRamps() {
  for (int channel = 0; channel < 3; ++channel) {
    if (int code = Lcd->WriteGreyRamp(channel, CalibrationData.GreyRampPayload(channel));
        code != 0) {
      op.MessageBox("Monitor: " + Lcd->ErrorText(code), kTransferCaption, Operator::kError);
      return false;
    }
  }
  return true;
}

bool Station::MeasureSequence() {
  return RunMeasureSequence() == SequenceOutcome::Complete;
}

// Measurements are checked before they are written: one the monitor cannot take stops the run
// with its reason instead of reaching the monitor cut to another number.
bool Station::MeasuredValuesFit(std::span<const XyYValue> values,
                                const std::function<std::string(std::size_t)>& patchName) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (const auto unfit = UnfitValue(values[i], patchName(i))) {
      op.MessageBox("Measurement: " + *unfit + ", which the monitor cannot take",
                    kMeasurementCaption, Operator::kError);
      AnalyzerEndRemote();
      return false;
    }
  }
  return true;
}

Station::SequenceOutcome Station::RunMeasureSequence() {
  if (const InstrumentResult result = AnalyzerBeginRemote(); !result.Ok()) {
    op.MessageBox("Analyzer: " + AnalyzerErrorText(result), kMeasurementCaption,
                  Operator::kError);
    return SequenceOutcome::Incomplete;
  }
  const auto primaryName = [](std::size_t p) { return std::string(1, "RGB"[p]); };
  if (!MeasurePrimaries() || !MeasuredValuesFit(CalibrationData.Primaries, primaryName))
    return SequenceOutcome::Incomplete;
  if (int code = Lcd->WritePrimaries(CalibrationData.PrimariesPayload()); code != 0) {
    op.MessageBox("Monitor: " + Lcd->ErrorText(code), kTransferCaption, Operator::kError);
    return SequenceOutcome::Incomplete;
  }
  const auto greyName = [](std::size_t n) { return "grey level " + std::to_string(n); };
  if (!MeasureGreyRamp() || !MeasuredValuesFit(CalibrationData.YxyTable, greyName))
    return SequenceOutcome::Incomplete;
  XyYValue black;
  MeasurePatch(0, 0, 0, "0", kMeasurementCaption, black);  // leaves the screen black
  if (!WriteGreyRamps()) return SequenceOutcome::MeasuredNotWritten;
  op.DrawProgress(ProgressRect.Left, ProgressRect.Top, ProgressRect.Right, ProgressRect.Bottom,
                  Operator::ProgressFill::ButtonFace);
  AnalyzerEndRemote();
  return SequenceOutcome::Complete;
}

}  // namespace velluma
