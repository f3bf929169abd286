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
int RefusedLut(const CommandContext& context, const std::string& file,
               const ProcedureResult& loaded) {
  if (!loaded.cause.empty())
    context.err << "velluma-cli: '" << file << "': " << loaded.cause << std::endl;
  return kExitRefused;
}

// The file goes to the loader of `tab`, as when it is dropped on the window with that tab active.
ProcedureResult OpenOnTab(const CommandContext& context, int tab, const std::string& file) {
  context.op.SetActiveTab(tab);
  return context.station.OpenFiles({file});
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
  if (const ProcedureResult loaded = context.station.LoadLut(file); !loaded.Done())
    return RefusedLut(context, file, loaded);
  PrintMonitorLut(context.out, context.station.Held().tables.lutTables[memory]);
  return kExitDone;
}

int SendCalibration(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  if (!OpenOnTab(context, Operator::kCalibrationTab, file).Done()) return kExitRefused;
  OpenDevices devices(context.station);
  return context.station.SendCalibration().Code();
}

int SendLut(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  const ProcedureResult loaded = OpenOnTab(context, Operator::kLookUpTableTab, file);
  if (!loaded.Done()) return RefusedLut(context, file, loaded);
  OpenDevices devices(context.station);
  const ProcedureResult sent = context.station.SendLut(context.op.LutMemory());
  // "monitor: NACK" stands for a refused chunk and for a silent monitor alike.
  if (!sent.cause.empty()) context.err << "velluma-cli: the monitor " << sent.cause << std::endl;
  return sent.Code();
}

int SendFilmGamma(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  if (!OpenOnTab(context, Operator::kFilmGammaTab, file).Done()) return kExitRefused;
  OpenDevices devices(context.station);
  return context.station.SendFilmGamma(context.op.FilmGammaMemory()).Code();
}

}  // namespace velluma::cli
