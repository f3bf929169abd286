#pragma once

#include <optional>
#include <string_view>

namespace velluma::cli {

// The commands of velluma-cli: each runs one of the station's own procedures.
enum class Command {
  LutConvert,       // "lut-convert"
  Query,            // "query"
  SendCalibration,  // "send-calibration"
  SendLut,          // "send-lut"
  SendFilmGamma,    // "send-film-gamma"
  ZeroCal,          // "zero-cal"
  Measure,          // "measure"
  Auto,             // "auto"
  Verify,           // "verify"
  Correct,          // "correct"
  History,          // "history"
};

// The word that names `command` on the command line.
std::string_view CommandName(Command command);

// The command a word names; none for any other word.
std::optional<Command> CommandNamed(std::string_view word);

// Whether the command drives the instrument, so that the i1-Pro may put a question to the
// operator while it runs.
bool DrivesInstrument(Command command);

}  // namespace velluma::cli
