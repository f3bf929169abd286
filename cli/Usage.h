#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "cli/UsageError.h"

namespace velluma::cli {

// The help for every command: its synopsis, what it does, its options and the exit statuses.
std::string GeneralHelp();
// The help of one command, with the options all commands share.
std::string CommandHelp(Command command);
// The synopsis: of one command, or of all.
std::string UsageSynopsis(std::optional<Command> command);

// A refused command line on standard error: the problem, the synopsis, where to read more.
void PrintUsageError(std::ostream& err, const UsageError& error);

}  // namespace velluma::cli
