// lut-convert and the three transfers of files into the monitor.
#include <fstream>

#include "cli/OpenDevices.h"
#include "cli/RunOutcome.h"
#include "cli/StationCommands.h"
#include "platform/CLocale.h"

namespace velluma::cli {

namespace {

constexpr std::string_view kTransferCaption = "PC->MONITOR";

// The calibration and film-gamma loaders pass over a file they cannot open without a word; it
// is said here, before the file goes to the loader.
bool Readable(const CommandContext& context, const std::string& file) {
  if (std::ifstream(file)) return true;
  context.err << "velluma-cli: cannot open '" << file << "'" << std::endl;
  return false;
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
  if (context.station.FileOpenProcLUT(file) != 0) return kExitRefused;
  PrintMonitorLut(context.out, context.station.Tables.LutTables[memory]);
  return kExitDone;
}

int SendCalibration(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  OpenOnTab(context, Operator::kCalibrationTab, file);
  if (context.station.CalibrationDataReady == 0) return kExitRefused;
  OpenDevices devices(context.station);
  context.station.DownloadButtonClick();
  return CompletionExitStatus(context.op.Boxes(), kTransferCaption);
}

int SendLut(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  OpenOnTab(context, Operator::kLookUpTableTab, file);
  if (context.station.LutLoaded[context.op.LutMemory()] == 0) return kExitRefused;
  OpenDevices devices(context.station);
  context.station.LUTStartButtonClick();
  return CompletionExitStatus(context.op.Boxes(), kTransferCaption);
}

int SendFilmGamma(const CommandContext& context, const std::string& file) {
  if (!Readable(context, file)) return kExitRefused;
  OpenOnTab(context, Operator::kFilmGammaTab, file);
  if (context.station.FilmGammaLoaded[context.op.FilmGammaMemory()] == 0) return kExitRefused;
  OpenDevices devices(context.station);
  context.station.FilmGammaStartButtonClick();
  return CompletionExitStatus(context.op.Boxes(), kTransferCaption);
}

}  // namespace velluma::cli
