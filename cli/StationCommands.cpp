#include "cli/StationCommands.h"

#include "cli/ExitStatus.h"

namespace velluma::cli {

int RunStationCommand(const CommandLine& line, const CommandContext& context) {
  switch (*line.command) {
    case Command::LutConvert:
      return LutConvert(context, line.file);
    case Command::Query:
      return Query(context);
    case Command::SendCalibration:
      return SendCalibration(context, line.file);
    case Command::SendLut:
      return SendLut(context, line.file);
    case Command::SendFilmGamma:
      return SendFilmGamma(context, line.file);
    case Command::ZeroCal:
      return ZeroCal(context);
    case Command::Measure:
      return Measure(context, line.patch);
    case Command::Auto:
      return Auto(context);
    case Command::Verify:
      return Verify(context, {line.reportPath, line.csvPath, ""});
    case Command::Correct:
      return Correct(context, line.memory, {line.reportPath, line.csvPath, line.cubePath});
    case Command::History:
      break;  // reads the history, not the station: RunVellumaCli lists it
  }
  return kExitFailed;
}

}  // namespace velluma::cli
