#include "bench/control/BenchOptions.h"

#include <stdexcept>

#include "bench/monitor/MemoryNames.h"

namespace velluma::bench {
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

// "--white" and the like set the display parameter of the same name.
bool IsDisplayOption(const std::string& option) {
  return option.rfind("--", 0) == 0 && DisplayParameters::Knows(option.substr(2));
}

std::optional<int> Memory(const std::string& text) {
  try {
    return ParseSelection(text);
  } catch (const std::invalid_argument& error) {
    throw std::invalid_argument(std::string("--memory: ") + error.what());
  }
}

// A PR-655 that announces remote mode this late is read by the program as a reply line.
constexpr std::chrono::milliseconds kLateRemoteDelay{300};

}  // namespace

const char* BenchOptions::Usage() {
  return "usage: velluma-bench --ports DIR [--fault RULE]... [--faults FILE]\n"
         "                     [--reply-delay MS] [--line-rate] [--model TEXT] [--addressed ID]\n"
         "                     [--memory USER1|USER2|USER3|none]\n"
         "                     [--display FILE] [--primaries \"RX RY GX GY BX BY\"] [--white CD]\n"
         "                     [--white-x X] [--white-y Y] [--gamma G] [--toe T] [--shoulder S]\n"
         "                     [--gamma-red G] [--toe-green T] [--shoulder-blue S] [...]\n"
         "                     [--black CD] [--black-x X] [--black-y Y] [--interaction C]\n"
         "                     [--tint-x DX] [--tint-y DY] [--tint-dark-x DX] [--tint-dark-y DY]\n"
         "                     [--noise SD] [--noise-luminance SD] [--noise-chromaticity SD]\n"
         "                     [--seed N] [--pr655-measure-ms MS]\n"
         "                     [--pr655-remote-delay MS] [--pr655-late-remote]\n"
         "                     [--pr655-quiet-wake] [--control-tcp PORT]\n";
}

BenchOptions BenchOptions::Parse(const std::vector<std::string>& arguments) {
  BenchOptions options;
  bool havePorts = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--line-rate") {
      options.lineRate = true;
      continue;
    }
    if (option == "--pr655-late-remote") {
      options.pr655RemoteDelay = kLateRemoteDelay;
      continue;
    }
    if (option == "--pr655-quiet-wake") {
      options.pr655QuietWake = true;
      continue;
    }
    if (i + 1 >= arguments.size()) throw std::invalid_argument("unknown or incomplete " + option);
    const std::string& value = arguments[++i];
    if (option == "--ports") {
      options.portsDir = value;
      havePorts = !value.empty();
    } else if (option == "--fault") {
      options.faultRules.push_back(value);
    } else if (option == "--faults") {
      options.faultFiles.push_back(value);
    } else if (option == "--reply-delay") {
      options.replyDelay = std::chrono::milliseconds(Number(option, value, 0, 60000));
    } else if (option == "--model") {
      options.model = value;
    } else if (option == "--addressed") {
      options.address = Address(value);
    } else if (option == "--memory") {
      options.memory = Memory(value);
    } else if (option == "--display") {
      options.display.LoadFile(value);
    } else if (IsDisplayOption(option)) {
      options.display.Set(option.substr(2), value);
    } else if (option == "--pr655-measure-ms") {
      options.pr655MeasureTime = std::chrono::milliseconds(Number(option, value, 0, 60000));
    } else if (option == "--pr655-remote-delay") {
      options.pr655RemoteDelay = std::chrono::milliseconds(Number(option, value, 0, 60000));
    } else if (option == "--control-tcp") {
      options.controlTcpPort = static_cast<uint16_t>(Number(option, value, 0, 65535));
    } else {
      throw std::invalid_argument("unknown option " + option);
    }
  }
  if (!havePorts) throw std::invalid_argument("--ports DIR is required");
  options.display.Check();
  return options;
}

}  // namespace velluma::bench
