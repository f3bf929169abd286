#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "cli/Command.h"

namespace velluma::cli {

// A command line velluma-cli cannot run. It is told on standard error with the usage of the
// command it concerns (the general usage when none is known), and the exit status is 2.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& problem, std::optional<Command> command = std::nullopt)
      : std::runtime_error(problem), command_(command) {}

  // The command the line was refused for, when one is known.
  std::optional<Command> CommandConcerned() const { return command_; }

 private:
  std::optional<Command> command_;
};

}  // namespace velluma::cli
