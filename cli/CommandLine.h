#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calibration/RunHistory.h"
#include "cli/Command.h"
#include "cli/SettingOverride.h"

namespace velluma::cli {

// What one velluma-cli command line asks for:
//
//   velluma-cli COMMAND [ARGUMENT...] [OPTION...]      options before or after the arguments
//
//   lut-convert FILE [--format baselight|davinci]
//   query
//   send-calibration FILE
//   send-lut FILE --memory USER1|USER2|USER3 [--format baselight|davinci]
//   send-film-gamma FILE --memory USER1|USER2|USER3
//   zero-cal
//   measure R G B                                      each 0..255
//   auto --save FILE
//   verify [--report FILE.html] [--csv FILE.csv] [--white D65|X,Y] [--curve 2.2|2.4|BT.1886]
//          [--gamut Rec.709|DCI-P3] [--grey-steps N] [--grey-average DE] [--grey-maximum DE]
//          [--colour-average DE] [--colour-maximum DE]
//   correct --memory USER1|USER2|USER3 [--cube FILE.cube] [--report FILE.html] [--csv FILE.csv]
//          [the target options of verify]
//   history [--since DATE] [--kind KIND] [--monitor MODEL|PORT] [--json]
//
// Shared options: --monitor-port PORT, --monitor-type TEXT, --monitor-speed N, --analyzer MODEL,
// --analyzer-port PORT, --offset-x V, --offset-y V, --settings FILE, --yes, --no, --help (-h).
// An option's value is the next argument, or follows "=" ("--offset-x=-0.002"); "--" ends the
// options. Each option may be given once.
struct CommandLine {
  std::optional<Command> command;  // none only with `help`: the general help
  bool help = false;

  std::string file;                    // lut-convert, send-calibration, send-lut, send-film-gamma
  std::array<int, 3> patch{};          // measure: red, green, blue
  int memory = 0;                      // send-lut, send-film-gamma, correct: 0..2 (USER1..USER3)
  std::string savePath;                // auto
  std::string reportPath;              // verify, correct: the HTML report; empty for none
  std::string csvPath;                 // verify, correct: the CSV of every patch; empty for none
  std::string cubePath;                // correct: the LUT as a .cube; empty for none
  history::Filter historyFilter;       // history: the runs to print
  bool json = false;                   // history: JSON lines instead of a table
  std::optional<int> answer;           // Operator::kAnswerYes (--yes) or kAnswerNo (--no)
  std::string settingsFile;            // --settings; empty for the operator's own settings
  std::array<std::string, 2> offsets;  // the offset edits' texts, as CheckedOffsetText gives them

  // The settings replaced for this run, in the order given ("--format" replaces "LUTFile" and
  // "LutFileType"; verify's target options replace the verification settings).
  std::vector<SettingOverride> overrides;
};

// Reads the arguments that follow the program's name. UsageError for anything it cannot run.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace velluma::cli
