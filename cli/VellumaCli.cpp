#include "cli/VellumaCli.h"

#include <new>

#include "calibration/RunHistory.h"
#include "calibration/Station.h"
#include "cli/ClockFromEnvironment.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleOperator.h"
#include "cli/ExitStatus.h"
#include "cli/HistoryListing.h"
#include "cli/OpenDevices.h"
#include "cli/PrivateSettings.h"
#include "cli/StationCommands.h"
#include "cli/Usage.h"
#include "cli/UsageError.h"
#include "instruments/InstrumentModel.h"
#include "platform/InputFile.h"
#include "platform/InterruptRequest.h"

namespace velluma::cli {

namespace {

// The settings file the run copies: --settings FILE, which must exist, or the operator's own
// (which need not exist yet: the run then starts from the defaults).
std::string SettingsSource(const CommandLine& line) {
  if (line.settingsFile.empty()) return SettingsStore::DefaultPath();
  if (const InputFile file(line.settingsFile); !file.IsOpen())
    throw UsageError("--settings '" + line.settingsFile + "': " + file.Reason(), line.command);
  return line.settingsFile;
}

// The i1-Pro asks the operator during 0-CAL., measure and AUTO, and a correction always asks
// whether its memory is selected on the monitor; a run that could not answer must end before any
// device is opened, not halfway with the monitor half written.
void RequireAnswerWhereAsked(const CommandLine& line, const SettingsStore& settings) {
  if (line.answer || !DrivesInstrument(*line.command)) return;
  if (*line.command == Command::Correct)
    throw UsageError(
        "correct asks whether the memory is selected on the monitor's front panel: select it, "
        "then give --yes (--no refuses the correction)",
        line.command);
  if (InstrumentModelNamed(settings.Read(setting::kAnalyzerModel)).asksOperator)
    throw UsageError("the i1-Pro asks the operator to confirm: give --yes or --no", line.command);
}

std::unique_ptr<Clock> RunClock(const CommandLine& line) {
  try {
    return ClockFromEnvironment();
  } catch (const UsageError& error) {
    throw UsageError(error.what(), line.command);
  }
}

ConsoleOperator::Answers AnswersOf(const CommandLine& line) {
  ConsoleOperator::Answers answers;
  answers.question = line.answer;
  answers.savePath = line.savePath;
  answers.lutMemory = line.memory;
  answers.filmGammaMemory = line.memory;
  answers.offsets = line.offsets;
  return answers;
}

int RunCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err,
                   bool errIsTerminal) {
  const std::unique_ptr<Clock> clock = RunClock(line);
  PrivateSettings settings(SettingsSource(line), line.overrides);
  RequireAnswerWhereAsked(line, settings.Store());
  ConsoleOperator op(out, err, AnswersOf(line), errIsTerminal);
  Station station(op, settings.Store(), *clock);
  // From here a terminating signal stops the procedure after the frame or patch in flight; the
  // private settings go when the run ends, and main then ends the process as the signal would.
  const InterruptRequest interrupts;
  station.StopWhen(&InterruptRequest::SignalName);
  settings.Store().LoadSettings(setting::kAll);
  // Its failures reach standard error through the message line.
  station.UseHistory(DefaultHistoryLocation());
  try {
    return RunStationCommand(line, {station, op, out, err});
  } catch (const PortInUse&) {
    return kExitFailed;
  }
}

}  // namespace

int RunVellumaCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                  bool errIsTerminal) {
  try {
    const CommandLine line = ParseCommandLine(arguments);
    if (line.help) {
      out << (line.command ? CommandHelp(*line.command) : GeneralHelp()) << std::flush;
      return kExitDone;
    }
    if (line.command == Command::History)
      return ListHistory(DefaultHistoryLocation(), line.historyFilter, line.json, out, err);
    return RunCommandLine(line, out, err, errIsTerminal);
  } catch (const UsageError& error) {
    PrintUsageError(err, error);
    return kExitFailed;
  } catch (const std::bad_alloc&) {
    err << "Velluma: not enough memory for this command" << std::endl;
    return kExitFailed;
  } catch (const std::exception& error) {
    err << "Velluma: " << error.what() << std::endl;
    return kExitFailed;
  }
}

}  // namespace velluma::cli
