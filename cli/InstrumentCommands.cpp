// query, zero-cal, measure and auto: the monitor and the instrument.
#include "cli/ExitStatus.h"
#include "cli/OpenDevices.h"
#include "cli/StationCommands.h"

namespace velluma::cli {

// The model on standard output; why the link failed on standard error.
int Query(const CommandContext& context) {
  OpenDevices devices(context.station);
  const ProcedureResult asked = context.station.QueryMonitor();
  (asked.outcome == ProcedureOutcome::Failed ? context.err : context.out)
      << asked.report << std::endl;
  return asked.Code();
}

int ZeroCal(const CommandContext& context) {
  OpenDevices devices(context.station);
  return context.station.ZeroCalibrate().Code();
}

// The patch measured as the "Yxy Value" display shows it: "x y Y".
int Measure(const CommandContext& context, const std::array<int, 3>& patch) {
  OpenDevices devices(context.station);
  if (!context.station.MeasurePatch(patch[0], patch[1], patch[2]).Done()) return kExitFailed;
  context.out << context.op.YxyText() << std::endl;
  return kExitDone;
}

int Auto(const CommandContext& context) {
  OpenDevices devices(context.station);
  const ProcedureResult result = context.station.RunAuto();
  return AutoExitStatus(result, context.op.QuestionUnanswered());
}

}  // namespace velluma::cli
