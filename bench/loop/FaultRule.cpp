#include "bench/loop/FaultRule.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <stdexcept>

namespace velluma::bench {
namespace {

struct Word {
  std::string_view text;
  size_t begin;
};

std::vector<Word> SplitWords(std::string_view line) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    size_t begin = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    words.push_back({line.substr(begin, i - begin), begin});
  }
  return words;
}

long PositiveCount(std::string_view text) {
  if (text.empty() || text.size() > 9) throw std::invalid_argument("bad count");
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') throw std::invalid_argument("bad count \"" + std::string(text) + "\"");
    value = value * 10 + (c - '0');
  }
  if (value < 1) throw std::invalid_argument("counts start at 1");
  return value;
}

// A result code: decimal with an optional sign, or 0x and up to eight hexadecimal digits, kept
// as the 32 bits a library call returns.
int32_t ResultCode(std::string_view text) {
  std::string digits(text);
  bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  int base =
      digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X') ? 16 : 10;
  if (base == 16) digits.erase(0, 2);
  size_t used = 0;
  unsigned long long value = 0;
  try {
    value = std::stoull(digits, &used, base);
  } catch (const std::exception&) {
    used = 0;
  }
  bool fits = negative ? value <= 0x80000000ULL : value <= 0xFFFFFFFFULL;
  if (digits.empty() || used != digits.size() ||
      !std::isxdigit(static_cast<unsigned char>(digits[0])) || !fits) {
    throw std::invalid_argument("bad code \"" + std::string(text) + "\"");
  }
  auto bits = static_cast<uint32_t>(negative ? 0 - value : value);
  return static_cast<int32_t>(bits);
}

FaultAction ActionNamed(std::string_view name) {
  static const std::map<std::string_view, FaultAction> kActions = {
      {"silent", FaultAction::Silent}, {"reply", FaultAction::Reply},
      {"badsum", FaultAction::BadSum}, {"noise", FaultAction::Noise},
      {"er0", FaultAction::Er0},       {"fail", FaultAction::Fail},
      {"refuse", FaultAction::Fail},   {"code", FaultAction::Code}};
  auto found = kActions.find(name);
  if (found == kActions.end()) {
    throw std::invalid_argument("unknown action \"" + std::string(name) + "\"");
  }
  return found->second;
}

struct Qualifier {
  std::string_view text;
  FaultDevice device;
  std::vector<FaultAction> actions;
};

const std::vector<Qualifier>& Qualifiers() {
  static const std::vector<Qualifier> kQualifiers = {
      {"pr655:", FaultDevice::Pr655, {FaultAction::Silent, FaultAction::Reply}},
      {"ca:", FaultDevice::Ca, {FaultAction::Fail, FaultAction::Code}},
      {"eyeone:", FaultDevice::EyeOne, {FaultAction::Fail, FaultAction::Code}},
      {"",
       FaultDevice::Monitor,
       {FaultAction::Silent, FaultAction::Reply, FaultAction::BadSum, FaultAction::Noise,
        FaultAction::Er0}},
  };
  return kQualifiers;
}

// The qualifier `prefix` starts with; the monitor's (the last, empty one) when none.
const Qualifier& QualifierOf(std::string_view prefix) {
  for (const Qualifier& qualifier : Qualifiers()) {
    if (prefix.substr(0, qualifier.text.size()) == qualifier.text) return qualifier;
  }
  return Qualifiers().back();
}

}  // namespace

FaultRule FaultRule::Parse(std::string_view line) {
  std::vector<Word> words = SplitWords(line);
  if (words.size() < 2) throw std::invalid_argument("a rule needs a command prefix and an action");
  FaultRule rule;
  const Qualifier& qualifier = QualifierOf(words[0].text);
  rule.device_ = qualifier.device;
  rule.prefix_ = words[0].text.substr(qualifier.text.size());
  if (rule.prefix_.empty()) throw std::invalid_argument("a rule needs a command prefix");
  rule.action_ = ActionNamed(words[1].text);
  if (std::find(qualifier.actions.begin(), qualifier.actions.end(), rule.action_) ==
      qualifier.actions.end()) {
    throw std::invalid_argument(
        "action \"" + std::string(words[1].text) + "\" does not apply to " +
        (qualifier.text.empty() ? "the monitor" : std::string(qualifier.text)));
  }
  // Options are taken from the end, so a reply text may hold any words before them.
  std::optional<long> from;
  while (words.size() >= 4) {
    std::string_view key = words[words.size() - 2].text;
    std::optional<long>& option = key == "from" ? from : rule.times_;
    if ((key != "from" && key != "times") || option) break;
    option = PositiveCount(words.back().text);
    words.resize(words.size() - 2);
  }
  rule.from_ = from.value_or(1);
  if (rule.action_ == FaultAction::Reply) {
    if (words.size() > 2) {
      const Word& last = words.back();
      rule.replyText_ = line.substr(words[2].begin, last.begin + last.text.size() - words[2].begin);
    }
    return rule;
  }
  size_t argumentCount = rule.action_ == FaultAction::Code ? 1 : 0;
  if (words.size() < 2 + argumentCount) throw std::invalid_argument("code needs a number");
  if (argumentCount == 1) rule.code_ = ResultCode(words[2].text);
  if (words.size() > 2 + argumentCount) {
    throw std::invalid_argument("unexpected \"" + std::string(words[2 + argumentCount].text) +
                                "\"");
  }
  return rule;
}

bool FaultRule::Matches(std::string_view command) const {
  return prefix_ == "*" || command.substr(0, prefix_.size()) == prefix_;
}

bool FaultRule::CountAndCheck(FaultDevice device, const std::vector<std::string_view>& names) {
  if (device != device_) return false;
  if (std::none_of(names.begin(), names.end(), [this](auto name) { return Matches(name); })) {
    return false;
  }
  ++matched_;
  return matched_ >= from_ && (!times_ || matched_ < from_ + *times_);
}

}  // namespace velluma::bench
