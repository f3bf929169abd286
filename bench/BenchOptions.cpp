#include "BenchOptions.h"

#include <stdexcept>

namespace bench {
namespace {

long Number(const std::string& option, const std::string& text, long low, long high) {
  size_t used = 0;
  long value = 0;
  try {
    value = std::stol(text, &used, 10);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty() || value < low || value > high) {
    throw std::invalid_argument(option + " takes a number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not \"" + text + "\"");
  }
  return value;
}

// STX and ETX cannot serve as an id byte: the monitor could not tell them from frame bounds.
uint8_t Address(const std::string& text) {
  long id = Number("--addressed", text, 0, 255);
  if (id == 0x02 || id == 0x03) throw std::invalid_argument("--addressed cannot be 2 or 3");
  return static_cast<uint8_t>(id);
}

}  // namespace

const char* BenchOptions::Usage() {
  return "usage: velluma-bench --ports DIR [--fault RULE]... [--faults FILE]\n"
         "                     [--reply-delay MS] [--line-rate] [--model TEXT] [--addressed ID]\n";
}

BenchOptions BenchOptions::Parse(const std::vector<std::string>& arguments) {
  BenchOptions options;
  bool havePorts = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--line-rate") {
      options.line_rate = true;
      continue;
    }
    if (i + 1 >= arguments.size()) throw std::invalid_argument("unknown or incomplete " + option);
    const std::string& value = arguments[++i];
    if (option == "--ports") {
      options.ports_dir = value;
      havePorts = !value.empty();
    } else if (option == "--fault") {
      options.fault_rules.push_back(value);
    } else if (option == "--faults") {
      options.fault_files.push_back(value);
    } else if (option == "--reply-delay") {
      options.reply_delay = std::chrono::milliseconds(Number(option, value, 0, 60000));
    } else if (option == "--model") {
      options.model = value;
    } else if (option == "--addressed") {
      options.address = Address(value);
    } else {
      throw std::invalid_argument("unknown option " + option);
    }
  }
  if (!havePorts) throw std::invalid_argument("--ports DIR is required");
  return options;
}

}  // namespace bench
