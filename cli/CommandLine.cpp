#include "cli/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <span>
#include <string_view>
#include <type_traits>

#include "calibration/Operator.h"
#include "calibration/StationSettings.h"
#include "calibration/VerificationRequest.h"
#include "cli/HistoryListing.h"
#include "cli/UsageError.h"
#include "instruments/AnalyzerOffset.h"

namespace velluma::cli {

namespace {

constexpr int kMaxPatchValue = 255;

using Apply = void (*)(CommandLine& line, const std::string& option, const std::string& value);

// The commands an option belongs to.
enum class Scope { Every, LutFiles, Memory, Auto, Measured, Correct, History };

struct KnownOption {
  std::string_view name;
  bool takesValue;
  Apply apply;
  Scope scope;
};

bool Belongs(Scope scope, Command command) {
  switch (scope) {
    case Scope::LutFiles:
      return command == Command::LutConvert || command == Command::SendLut;
    case Scope::Memory:
      return command == Command::SendLut || command == Command::SendFilmGamma ||
             command == Command::Correct;
    case Scope::Auto:
      return command == Command::Auto;
    case Scope::Measured:  // the target and the report files of a verification
      return command == Command::Verify || command == Command::Correct;
    case Scope::Correct:
      return command == Command::Correct;
    case Scope::History:
      return command == Command::History;
    case Scope::Every:
      break;
  }
  // The history is read without settings or devices: their options say nothing to it.
  return command != Command::History;
}

// "a, b, c" of a setting's choices.
template <typename Choice>
std::string ChoiceList(std::span<const Choice> choices) {
  std::string text;
  for (const Choice& choice : choices) {
    if (!text.empty()) text += ", ";
    if constexpr (std::is_integral_v<Choice>)
      text += std::to_string(choice);
    else
      text += choice;
  }
  return text;
}

[[noreturn]] void Refuse(const std::string& option, const std::string& value,
                         const std::string& why) {
  throw UsageError(option + " '" + value + "': " + why);
}

void OverrideText(CommandLine& line, const setting::Text& setting, const std::string& value) {
  line.overrides.push_back({std::string(setting.name), value});
}

void OverrideNumber(CommandLine& line, const setting::Number& setting, std::int32_t value) {
  line.overrides.push_back({std::string(setting.name), value});
}

// Only the choices the settings dialog offers for the analyzer model and the monitor's line
// speed: a word outside them would run the station with no instrument or an unusable link.
void ApplyMonitorSpeed(CommandLine& line, const std::string& option, const std::string& value) {
  for (std::int32_t speed : setting::kMonitorSpeed.choices) {
    if (value == std::to_string(speed)) return OverrideNumber(line, setting::kMonitorSpeed, speed);
  }
  Refuse(option, value, "the speed is one of " + ChoiceList(setting::kMonitorSpeed.choices));
}

void ApplyAnalyzer(CommandLine& line, const std::string& option, const std::string& value) {
  const auto& models = setting::kAnalyzerModel.choices;
  if (std::find(models.begin(), models.end(), value) == models.end())
    Refuse(option, value, "the model is one of " + ChoiceList(models));
  OverrideText(line, setting::kAnalyzerModel, value);
}

void ApplyOffset(CommandLine& line, const std::string& option, const std::string& value) {
  const auto checked = CheckedOffsetText(value);
  if (!checked) Refuse(option, value, "the offset lies between -0.0999 and 0.0999");
  line.offsets[option == "--offset-x" ? 0 : 1] = *checked;
}

void ApplyAnswer(CommandLine& line, const std::string& option, const std::string&) {
  const int answer = option == "--yes" ? Operator::kAnswerYes : Operator::kAnswerNo;
  if (line.answer && *line.answer != answer) throw UsageError("--yes and --no exclude each other");
  line.answer = answer;
}

void ApplyFormat(CommandLine& line, const std::string& option, const std::string& value) {
  if (value != "baselight" && value != "davinci")
    Refuse(option, value, "the format is baselight or davinci");
  OverrideNumber(line, setting::kLutFile, 0);
  OverrideText(line, setting::kLutFileType,
               std::string(value == "baselight" ? setting::kBaselight : setting::kDavinciResolve));
}

void ApplyMemory(CommandLine& line, const std::string& option, const std::string& value) {
  const auto& memories = setting::kMemories;
  const auto found = std::find(std::begin(memories), std::end(memories), value);
  if (found == std::end(memories)) Refuse(option, value, "the memory is USER1, USER2 or USER3");
  line.memory = static_cast<int>(found - std::begin(memories));
}

void ApplyMonitorPort(CommandLine& line, const std::string&, const std::string& value) {
  OverrideText(line, setting::kMonitorPort, value);
}

void ApplyMonitorType(CommandLine& line, const std::string&, const std::string& value) {
  OverrideText(line, setting::kMonitorType, value);
}

void ApplyAnalyzerPort(CommandLine& line, const std::string&, const std::string& value) {
  OverrideText(line, setting::kAnalyzerPort, value);
}

void ApplySettings(CommandLine& line, const std::string&, const std::string& value) {
  line.settingsFile = value;
}

void ApplyHelp(CommandLine& line, const std::string&, const std::string&) {
  line.help = true;
}

void ApplySave(CommandLine& line, const std::string&, const std::string& value) {
  line.savePath = value;
}

void ApplyReport(CommandLine& line, const std::string& option, const std::string& value) {
  (option == "--csv" ? line.csvPath : line.reportPath) = value;
}

void ApplyCube(CommandLine& line, const std::string&, const std::string& value) {
  line.cubePath = value;
}

// The verification settings each option replaces.
const std::pair<std::string_view, const setting::Text*> kVerificationOptions[] = {
    {"--white", &setting::kVerifyWhitePoint},
    {"--curve", &setting::kVerifyToneCurve},
    {"--gamut", &setting::kVerifyGamut},
    {"--grey-steps", &setting::kVerifyGreySteps},
    {"--grey-average", &setting::kVerifyGreyAverage},
    {"--grey-maximum", &setting::kVerifyGreyMaximum},
    {"--colour-average", &setting::kVerifyColourAverage},
    {"--colour-maximum", &setting::kVerifyColourMaximum},
};

void ApplyVerificationSetting(CommandLine& line, const std::string& option,
                              const std::string& value) {
  for (const auto& [name, setting] : kVerificationOptions) {
    if (name != option) continue;
    if (const auto problem = VerificationValueProblem(*setting, value))
      throw UsageError(option + ": " + *problem);
    return OverrideText(line, *setting, value);
  }
}

// "2026-11-30" (midnight UTC) or "2026-11-30T08:15:00Z": the history's own form of a time.
void ApplySince(CommandLine& line, const std::string& option, const std::string& value) {
  const auto since = SinceTime(value);
  if (!since) Refuse(option, value, "a date is YYYY-MM-DD or YYYY-MM-DDTHH:MM:SSZ (UTC)");
  line.historyFilter.sinceUtc = *since;
}

void ApplyKind(CommandLine& line, const std::string& option, const std::string& value) {
  history::Kind kind;
  if (!history::ParseKind(value, kind))
    Refuse(option, value,
           "the kind is auto, verify, correct, zero-cal, send-calibration, send-lut or "
           "send-film-gamma");
  line.historyFilter.kind = kind;
}

void ApplyMonitor(CommandLine& line, const std::string&, const std::string& value) {
  line.historyFilter.monitor = value;
}

void ApplyJson(CommandLine& line, const std::string&, const std::string&) {
  line.json = true;
}

const KnownOption kOptions[] = {
    {"--monitor-port", true, ApplyMonitorPort, Scope::Every},
    {"--monitor-type", true, ApplyMonitorType, Scope::Every},
    {"--monitor-speed", true, ApplyMonitorSpeed, Scope::Every},
    {"--analyzer", true, ApplyAnalyzer, Scope::Every},
    {"--analyzer-port", true, ApplyAnalyzerPort, Scope::Every},
    {"--offset-x", true, ApplyOffset, Scope::Every},
    {"--offset-y", true, ApplyOffset, Scope::Every},
    {"--settings", true, ApplySettings, Scope::Every},
    {"--yes", false, ApplyAnswer, Scope::Every},
    {"--no", false, ApplyAnswer, Scope::Every},
    {"--help", false, ApplyHelp, Scope::Every},
    {"-h", false, ApplyHelp, Scope::Every},
    {"--format", true, ApplyFormat, Scope::LutFiles},
    {"--memory", true, ApplyMemory, Scope::Memory},
    {"--save", true, ApplySave, Scope::Auto},
    {"--report", true, ApplyReport, Scope::Measured},
    {"--csv", true, ApplyReport, Scope::Measured},
    {"--cube", true, ApplyCube, Scope::Correct},
    {"--white", true, ApplyVerificationSetting, Scope::Measured},
    {"--curve", true, ApplyVerificationSetting, Scope::Measured},
    {"--gamut", true, ApplyVerificationSetting, Scope::Measured},
    {"--grey-steps", true, ApplyVerificationSetting, Scope::Measured},
    {"--grey-average", true, ApplyVerificationSetting, Scope::Measured},
    {"--grey-maximum", true, ApplyVerificationSetting, Scope::Measured},
    {"--colour-average", true, ApplyVerificationSetting, Scope::Measured},
    {"--colour-maximum", true, ApplyVerificationSetting, Scope::Measured},
    {"--since", true, ApplySince, Scope::History},
    {"--kind", true, ApplyKind, Scope::History},
    {"--monitor", true, ApplyMonitor, Scope::History},
    {"--json", false, ApplyJson, Scope::History},
};

const KnownOption* FindOption(std::string_view name) {
  for (const KnownOption& option : kOptions)
    if (option.name == name) return &option;
  return nullptr;
}

// "-1" is a (wrong) patch value, not an option.
bool IsOptionWord(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-' &&
         !std::isdigit(static_cast<unsigned char>(argument[1]));
}

// An option word split at its first "=": the name and, when there is one, the value.
std::pair<std::string, std::optional<std::string>> SplitOption(const std::string& argument) {
  const auto equals = argument.find('=');
  if (equals == std::string::npos) return {argument, std::nullopt};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

// The arguments read in one pass: options applied, the others kept in order.
class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  // The first word that is neither an option nor an option's value: the command's name.
  std::optional<std::string> CommandWord() const {
    for (std::size_t i = 0; i < arguments_.size(); ++i) {
      const std::string& argument = arguments_[i];
      if (argument == "--")
        return i + 1 < arguments_.size() ? std::optional(arguments_[i + 1]) : std::nullopt;
      if (!IsOptionWord(argument)) return argument;
      const auto [name, value] = SplitOption(argument);
      const KnownOption* option = FindOption(name);
      if (option && option->takesValue && !value) ++i;
    }
    return std::nullopt;
  }

  bool AsksForHelp() const {
    for (const std::string& argument : arguments_) {
      if (argument == "--") return false;
      if (argument == "--help" || argument == "-h") return true;
    }
    return false;
  }

  // Applies every option to `line` and returns the other words.
  std::vector<std::string> Read(CommandLine& line) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments_.size(); ++i) {
      const std::string& argument = arguments_[i];
      if (argument == "--") {
        words.insert(words.end(), arguments_.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                     arguments_.end());
        break;
      }
      if (!IsOptionWord(argument)) {
        words.push_back(argument);
        continue;
      }
      i = ReadOption(line, i);
    }
    return words;
  }

  const std::vector<const KnownOption*>& Given() const { return given_; }

 private:
  // Applies the option at `index`; returns the index of its last word.
  std::size_t ReadOption(CommandLine& line, std::size_t index) {
    const auto [name, inlineValue] = SplitOption(arguments_[index]);
    const KnownOption* option = FindOption(name);
    if (!option) throw UsageError("unknown option '" + name + "'");
    if (!seen_.insert(option->name).second) throw UsageError(name + " is given twice");
    if (!option->takesValue && inlineValue) throw UsageError(name + " takes no value");
    std::string value;
    if (option->takesValue) {
      if (inlineValue) {
        value = *inlineValue;
      } else if (index + 1 < arguments_.size()) {
        value = arguments_[++index];
      } else {
        throw UsageError(name + " needs a value");
      }
      if (value.empty()) throw UsageError(name + " needs a value");
    }
    option->apply(line, name, value);
    given_.push_back(option);
    return index;
  }

  const std::vector<std::string>& arguments_;
  std::set<std::string_view> seen_;
  std::vector<const KnownOption*> given_;
};

// A patch value: decimal digits, 0..255.
int PatchValue(const std::string& word) {
  const bool digits =
      !word.empty() && word.size() <= 3 &&
      std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c); });
  if (!digits || std::stoi(word) > kMaxPatchValue)
    throw UsageError("'" + word + "' is not a patch value from 0 to 255");
  return std::stoi(word);
}

std::size_t ArgumentCount(Command command) {
  switch (command) {
    case Command::Query:
    case Command::ZeroCal:
    case Command::Auto:
    case Command::Verify:
    case Command::Correct:
    case Command::History:
      return 0;
    case Command::Measure:
      return 3;
    default:
      return 1;
  }
}

void CheckOptionsBelong(const std::vector<const KnownOption*>& given, Command command) {
  for (const KnownOption* option : given) {
    if (!Belongs(option->scope, command))
      throw UsageError(std::string(option->name) + " does not belong to " +
                       std::string(CommandName(command)));
  }
}

void TakeArguments(CommandLine& line, const std::vector<std::string>& words) {
  const Command command = *line.command;
  const std::size_t expected = ArgumentCount(command);
  const std::size_t given = words.size() - 1;
  if (given < expected) throw UsageError("too few arguments");
  if (given > expected) throw UsageError("unexpected argument '" + words[expected + 1] + "'");
  if (command == Command::Measure) {
    for (int c = 0; c < 3; ++c) line.patch[c] = PatchValue(words[1 + c]);
  } else if (expected == 1) {
    line.file = words[1];
  }
}

void CheckRequiredOptions(const CommandLine& line, const std::vector<const KnownOption*>& given) {
  const auto named = [&](std::string_view name) {
    return std::any_of(given.begin(), given.end(),
                       [&](const KnownOption* option) { return option->name == name; });
  };
  const Command command = *line.command;
  if ((command == Command::SendLut || command == Command::SendFilmGamma ||
       command == Command::Correct) &&
      !named("--memory"))
    throw UsageError("--memory is needed: USER1, USER2 or USER3");
  if (command == Command::Auto && !named("--save")) throw UsageError("--save FILE is needed");
}

std::optional<Command> KnownCommand(const std::optional<std::string>& word) {
  if (!word) return std::nullopt;
  if (auto command = CommandNamed(*word)) return command;
  throw UsageError("unknown command '" + *word + "'");
}

CommandLine HelpRequest(const ArgumentReader& reader) {
  CommandLine line;
  line.help = true;
  line.command = KnownCommand(reader.CommandWord());
  return line;
}

CommandLine ReadCommandLine(ArgumentReader& reader) {
  const std::optional<std::string> word = reader.CommandWord();
  if (!word) throw UsageError("no command given");
  CommandLine line;
  line.command = KnownCommand(word);
  const std::vector<std::string> words = reader.Read(line);
  CheckOptionsBelong(reader.Given(), *line.command);
  TakeArguments(line, words);
  CheckRequiredOptions(line, reader.Given());
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ArgumentReader reader(arguments);
  if (reader.AsksForHelp()) return HelpRequest(reader);
  std::optional<Command> command;
  try {
    command = KnownCommand(reader.CommandWord());
    return ReadCommandLine(reader);
  } catch (const UsageError& error) {
    if (error.CommandConcerned() || !command) throw;
    throw UsageError(error.what(), command);
  }
}

}  // namespace velluma::cli
