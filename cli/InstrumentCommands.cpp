// query, zero-cal, measure and auto: the monitor and the instrument.
#include "cli/ExitStatus.h"
#include "cli/OpenDevices.h"
#include "cli/StationCommands.h"
#include "instruments/InstrumentModel.h"
#include "platform/CLocale.h"

namespace velluma::cli {

namespace {

constexpr const char* kMeasurementCaption = "Measurement";

// The configured instrument ready to measure: the CA driver made on first use as AUTO makes it
// (a failed set-up has shown its box), the i1-Pro prepared; the PR-655 needs nothing more.
bool InstrumentReadyToMeasure(const CommandContext& context) {
  if (context.station.DeviceSet().ConfiguredInstrument().asksOperator)
    return context.station.PrepareI1ForMeasuring();
  context.station.CreateCaAnalyzer();
  return !context.station.DeviceSet().CaSetUpFailed();
}

}  // namespace

int Query(const CommandContext& context) {
  OpenDevices devices(context.station);
  std::string model;
  LCD& link = *context.station.Link();
  if (int result = link.Query("QID", model); result < 0) {
    context.err << "monitor: " << link.ErrorText(ResultOfRead(result)) << std::endl;
    return kExitFailed;
  }
  context.out << model << std::endl;
  return model == Station::kModelName ? kExitDone : kExitRefused;
}

int ZeroCal(const CommandContext& context) {
  OpenDevices devices(context.station);
  return context.station.ZeroCalButtonClick().Code();
}

// One patch as AUTO measures white and black: remote mode on, MeasurePatch, remote mode off.
int Measure(const CommandContext& context, const std::array<int, 3>& patch) {
  Station& station = context.station;
  OpenDevices devices(station);
  if (!InstrumentReadyToMeasure(context)) return kExitFailed;
  if (const InstrumentResult result = station.AnalyzerBeginRemote(); !result.Ok()) {
    context.op.MessageBox("Analyzer: " + result.ErrorText(), kMeasurementCaption, Operator::kError);
    return kExitFailed;
  }
  XyYValue value;
  const std::string name = FormatC("%d,%d,%d", patch[0], patch[1], patch[2]);
  const bool measured =
      station.MeasurePatch(patch[0], patch[1], patch[2], name, kMeasurementCaption, value);
  station.AnalyzerEndRemote();
  if (!measured) return kExitFailed;
  context.out << context.op.YxyText() << std::endl;
  return kExitDone;
}

int Auto(const CommandContext& context) {
  OpenDevices devices(context.station);
  const ProcedureResult result = context.station.AutoButtonClick();
  return AutoExitStatus(result, context.op.QuestionUnanswered());
}

}  // namespace velluma::cli
