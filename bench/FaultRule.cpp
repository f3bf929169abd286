#include "FaultRule.h"

#include <map>
#include <stdexcept>
#include <vector>

namespace bench {
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

FaultAction ActionNamed(std::string_view name) {
  static const std::map<std::string_view, FaultAction> kActions = {{"silent", FaultAction::kSilent},
                                                                   {"reply", FaultAction::kReply},
                                                                   {"badsum", FaultAction::kBadSum},
                                                                   {"noise", FaultAction::kNoise},
                                                                   {"er0", FaultAction::kEr0}};
  auto found = kActions.find(name);
  if (found == kActions.end()) {
    throw std::invalid_argument("unknown action \"" + std::string(name) + "\"");
  }
  return found->second;
}

}  // namespace

FaultRule FaultRule::Parse(std::string_view line) {
  std::vector<Word> words = SplitWords(line);
  if (words.size() < 2) throw std::invalid_argument("a rule needs a command prefix and an action");
  FaultRule rule;
  rule.prefix_ = words[0].text;
  rule.action_ = ActionNamed(words[1].text);
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
  if (rule.action_ == FaultAction::kReply) {
    if (words.size() > 2) {
      const Word& last = words.back();
      rule.reply_text_ =
          line.substr(words[2].begin, last.begin + last.text.size() - words[2].begin);
    }
  } else if (words.size() > 2) {
    throw std::invalid_argument("unexpected \"" + std::string(words[2].text) + "\"");
  }
  return rule;
}

bool FaultRule::CountAndCheck(std::string_view command) {
  if (prefix_ != "*" && command.substr(0, prefix_.size()) != prefix_) return false;
  ++matched_;
  return matched_ >= from_ && (!times_ || matched_ < from_ + *times_);
}

}  // namespace bench
