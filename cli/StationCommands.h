#pragma once

#include <array>
#include <ostream>
#include <string>

#include "calibration/Station.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleOperator.h"

namespace velluma::cli {

// What a command runs on: the station, its console operator and the two output streams.
struct CommandContext {
  Station& station;
  ConsoleOperator& op;
  std::ostream& out;
  std::ostream& err;
};

// Runs the command of `line` (not help) and returns the exit status. Every command is one of the
// station's own procedures, the one the window's button or menu runs.
int RunStationCommand(const CommandLine& line, const CommandContext& context);

// The files: loaded as the window loads a file opened on its tab, then sent as its button sends.
// Nothing is opened but the file until it has loaded.
int LutConvert(const CommandContext& context, const std::string& file);
int SendCalibration(const CommandContext& context, const std::string& file);
int SendLut(const CommandContext& context, const std::string& file);
int SendFilmGamma(const CommandContext& context, const std::string& file);

// The monitor and the instrument.
int Query(const CommandContext& context);
int ZeroCal(const CommandContext& context);
int Measure(const CommandContext& context, const std::array<int, 3>& patch);
int Auto(const CommandContext& context);

// The files a verification or a correction writes when it finishes: the HTML report, the CSV of
// every patch and (a correction's) the LUT as a .cube; empty: none. They are checked before any
// device is opened (CheckOutputs).
struct OutputFiles {
  std::string report;
  std::string csv;
  std::string cube;
};
int Verify(const CommandContext& context, const OutputFiles& files);
// Correct for user memory `memory` (0..2).
int Correct(const CommandContext& context, int memory, const OutputFiles& files);

}  // namespace velluma::cli
