// lut-convert and the three transfers of files into the monitor.
#include "cli/ExitStatus.h"
#include "cli/OpenDevices.h"
#include "cli/StationCommands.h"
#include "platform/CLocale.h"
#include "platform/InputFile.h"

namespace velluma::cli {

namespace {

// The calibration and film-gamma loaders pass over a file they cannot open without a word; it
// is said here, with the system's reason, before the file goes to the loader. Only a regular
// file is opened, so a FIFO cannot hold the run.
bool Readable(const CommandContext& context, const std::string& file) {
  const InputFile input(file);
  if (input.IsOpen()) return true;
  context.err << "velluma-cli: cannot open '" << file << "': " << input.Reason() << std::endl;
  return false;
}

// The LUT loader's diagnosis line says what kind of failure it was; the cause follows on
// standard error.
int RefusedLut(const CommandContext& context, const std::string& file) {
  if (const std::string& cause = context.station.LutLoadCause(); !cause.empty())
    context.err << "velluma-cli: '" << file << "': " << cause << std::endl;
  return kExitRefused;
}

// The file goes to the loader of `tab`, as when it is dropped on the window with that tab active.
void OpenOnTab(const CommandContext& context, int tab, const std::string& file) {
  context.op.SetActiveTab(tab);
  context.station.DropFiles({file});
}

// The direct table file format: entry by entry, red changing fastest.
void PrintMonitorLut(std::ostream& out, const UserMemoryTables::LutTable& table) {
  std::string text;
  for (int entry = 0; entry < UserMemoryTables::kLutEntries; ++entry)
    text += FormatC("%d,%d,%d\n", table[0][entry], table[1][entry], table[2][entry]);
  out << text << std::flush;
}

}  // namespace

int LutConvert(const CommandContext& context, const std::string& file) {
  const int memory = context.op.LutMemory();
  if (context.station.FileOpenProcLUT(file) != 0) return RefusedLut(context, file);
  PrintMonitorLut(context.out, context.station.Held().tables.LutTables[memory]);
  return kExitDone;
}

int SendCalibration(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  OpenOnTab(context, Operator::kCalibrationTab, file);
  if (!context.station.Held().calibrationReady) return kExitRefused;
  OpenDevices devices(context.station);
  return context.station.DownloadButtonClick().Code();
}

int SendLut(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  OpenOnTab(context, Operator::kLookUpTableTab, file);
  if (!context.station.Held().lutLoaded[context.op.LutMemory()]) return RefusedLut(context, file);
  OpenDevices devices(context.station);
  const ProcedureResult sent = context.station.LUTStartButtonClick();
  // "monitor: NACK" stands for a refused chunk and for a silent monitor alike.
  if (!sent.cause.empty()) context.err << "velluma-cli: the monitor " << sent.cause << std::endl;
  return sent.Code();
}

int SendFilmGamma(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  OpenOnTab(context, Operator::kFilmGammaTab, file);
  if (!context.station.Held().filmGammaLoaded[context.op.FilmGammaMemory()]) return kExitRefused;
  OpenDevices devices(context.station);
  return context.station.FilmGammaStartButtonClick().Code();
}

}  // namespace velluma::cli
