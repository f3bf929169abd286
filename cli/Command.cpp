#include "cli/Command.h"

#include <array>
#include <utility>

namespace velluma::cli {

namespace {

constexpr std::array<std::pair<Command, std::string_view>, 11> kCommandNames = {{
    {Command::LutConvert, "lut-convert"},
    {Command::Query, "query"},
    {Command::SendCalibration, "send-calibration"},
    {Command::SendLut, "send-lut"},
    {Command::SendFilmGamma, "send-film-gamma"},
    {Command::ZeroCal, "zero-cal"},
    {Command::Measure, "measure"},
    {Command::Auto, "auto"},
    {Command::Verify, "verify"},
    {Command::Correct, "correct"},
    {Command::History, "history"},
}};

}  // namespace

std::string_view CommandName(Command command) {
  for (const auto& [known, name] : kCommandNames)
    if (known == command) return name;
  return {};
}

std::optional<Command> CommandNamed(std::string_view word) {
  for (const auto& [command, name] : kCommandNames)
    if (name == word) return command;
  return std::nullopt;
}

bool DrivesInstrument(Command command) {
  return command == Command::ZeroCal || command == Command::Measure || command == Command::Auto ||
         command == Command::Verify || command == Command::Correct;
}

}  // namespace velluma::cli
