// One patch, and the sequence of 260 patches that AUTO measures.
#include "calibration/MeasurementRun.h"

#include <optional>
#include <utility>

#include "datamodel/MonitorFields.h"
#include "instruments/AnalyzerOffset.h"
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
    if (!FitsDecimalField(static_cast<float>(number)))
      return std::string(name) + " of " + patch + " is " + FormatC("%g", number);
  return std::nullopt;
}
}  // namespace

std::string MeasurementRun::ReportFailure(const std::string& text, const char* caption) {
  dialogs_.MessageBox(text, caption, Dialogs::kError);
  return text;
}

MeasurementRun::PatchResult MeasurementRun::MeasurePatch(int red, int green, int blue,
                                                         const std::string& patchName,
                                                         const std::string& caption,
                                                         XyYValue& result) {
  LCD& link = *devices_.Link();
  if (const LinkResult shown = link.ShowPattern(red, green, blue); shown != LinkResult::Ok) {
    return {shown == LinkResult::CommunicationError ? PatchOutcome::MonitorSilent
                                                    : PatchOutcome::Failed,
            ReportFailure("Monitor: " + link.ErrorText(shown), caption.c_str())};
  }
  clock_.Pause(kSettleMs);
  double x = 0, y = 0, Y = 0;
  if (const InstrumentResult measured = devices_.Front().Measure(x, y, Y); !measured.Ok())
    return {PatchOutcome::Failed,
            ReportFailure("Analyzer: " + measured.ErrorText(), caption.c_str())};
  result.x = OffsetValue(views_.AnalyzerOffsetText(0)) + x;
  result.y = OffsetValue(views_.AnalyzerOffsetText(1)) + y;
  result.Y = Y;
  status_.ShowMeasurement(FormatC("%10.4f", result.x), FormatC("%10.4f", result.y),
                          FormatC("%10.3f", result.Y), patchName);
  return {PatchOutcome::Measured, ""};
}

// Asked before each patch of the sequence: a stop ends remote mode as a failed patch does.
bool MeasurementRun::StoppedFromOutside() {
  if (!devices_.Stop().Requested()) return false;
  devices_.Front().EndRemote();
  return true;
}

// Red, green and blue, each followed by a black screen.
bool MeasurementRun::MeasurePrimaries(std::string& failure) {
  struct Primary {
    int r, g, b;
    const char* name;
  } primaries[] = {{255, 0, 0, "R"}, {0, 255, 0, "G"}, {0, 0, 255, "B"}};
  for (int p = 0; p < 3; ++p) {
    const Primary& c = primaries[p];
    XyYValue measured;
    if (StoppedFromOutside()) return false;
    if (PatchResult patch = MeasurePatch(c.r, c.g, c.b, c.name, kMeasurementCaption, measured);
        !patch.Measured()) {
      failure = std::move(patch.failure);
      devices_.Front().EndRemote();
      return false;
    }
    data_.primaries[p] = measured;
    devices_.Link()->ShowPattern(0, 0, 0);
  }
  return true;
}

// Grey levels 0..255, the progress growing in panel 1 and the window served once per level.
bool MeasurementRun::MeasureGreyRamp(std::string& failure) {
  constexpr int kLevels = CalibrationData::kGreyLevels;
  status_.ShowProgress(0, kLevels);
  for (int n = 0; n < kLevels; ++n) {
    XyYValue measured;
    if (StoppedFromOutside()) return false;
    if (PatchResult patch = MeasurePatch(n, n, n, std::to_string(n), kMeasurementCaption, measured);
        !patch.Measured()) {
      failure = std::move(patch.failure);
      devices_.Front().EndRemote();
      return false;
    }
    data_.greyLevels[n] = measured;
    status_.ShowProgress(n + 1, kLevels);
    status_.ProcessMessages();
  }
  return true;
}

bool MeasurementRun::WriteGreyRamps(std::string& failure) {
  LCD& link = *devices_.Link();
  for (int channel = 0; channel < 3; ++channel) {
    const LinkResult written = link.WriteGreyRamp(channel, data_.GreyRampPayload(channel));
    if (written != LinkResult::Ok) {
      failure = ReportFailure("Monitor: " + link.ErrorText(written), kTransferCaption);
      return false;
    }
  }
  return true;
}

// Measurements are checked before they are written: one the monitor cannot take stops the run
// with its reason instead of reaching the monitor cut to another number.
bool MeasurementRun::MeasuredValuesFit(std::span<const XyYValue> values,
                                       const std::function<std::string(std::size_t)>& patchName,
                                       std::string& failure) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (const auto unfit = UnfitValue(values[i], patchName(i))) {
      failure = ReportFailure("Measurement: " + *unfit + ", which the monitor cannot take",
                              kMeasurementCaption);
      devices_.Front().EndRemote();
      return false;
    }
  }
  return true;
}

MeasurementRun::SequenceResult MeasurementRun::MeasureSequence() {
  SequenceResult result;
  std::string& failure = result.failure;
  AnalyzerFront& front = devices_.Front();
  if (const InstrumentResult begun = front.BeginRemote(); !begun.Ok()) {
    failure = ReportFailure("Analyzer: " + begun.ErrorText(), kMeasurementCaption);
    return result;
  }
  const auto primaryName = [](std::size_t p) { return std::string(1, "RGB"[p]); };
  if (!MeasurePrimaries(failure) || !MeasuredValuesFit(data_.primaries, primaryName, failure))
    return result;
  LCD& link = *devices_.Link();
  if (const LinkResult written = link.WritePrimaries(data_.PrimariesPayload());
      written != LinkResult::Ok) {
    failure = ReportFailure("Monitor: " + link.ErrorText(written), kTransferCaption);
    return result;
  }
  const auto greyName = [](std::size_t n) { return "grey level " + std::to_string(n); };
  if (!MeasureGreyRamp(failure) || !MeasuredValuesFit(data_.greyLevels, greyName, failure))
    return result;
  XyYValue black;
  // Leaves the screen black; a failure is reported and the sequence goes on.
  if (PatchResult patch = MeasurePatch(0, 0, 0, "0", kMeasurementCaption, black); !patch.Measured())
    failure = std::move(patch.failure);
  if (!WriteGreyRamps(failure)) {
    result.outcome = SequenceOutcome::MeasuredNotWritten;
    return result;
  }
  status_.ClearProgress();
  front.EndRemote();
  result.outcome = SequenceOutcome::Complete;
  return result;
}

}  // namespace velluma
