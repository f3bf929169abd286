#include "bench/monitor/MonitorCommands.h"

#include <algorithm>
#include <array>

#include "bench/monitor/FixedFields.h"
#include "bench/wire/WireFormat.h"

namespace velluma::bench {
namespace {

constexpr std::array kLineSpeeds = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
// Film-gamma memories USER1..USER3 are 0x1C..0x1E, LUT memories 0x18..0x1A.
constexpr long kFirstFilmGammaCode = 0x1C;
constexpr long kFirstLutCode = 0x18;
constexpr int kEntriesPerBlock = 256;
constexpr long kLutChunkBytes = 0x200;

CommandOutcome Plain(std::string body) {
  return {{ReplyFraming::Plain, std::move(body)}, {}};
}

CommandOutcome Refused() {
  return Plain("ER0");
}

CommandOutcome Stored(ReplyFraming framing, std::string body,
                      std::function<void(MonitorState&)> store) {
  return {{framing, std::move(body)}, std::move(store)};
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::optional<int> ParseDecimalDigits(std::string_view digits, size_t minimum, size_t maximum) {
  if (digits.size() < minimum || digits.size() > maximum) return std::nullopt;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// A hexadecimal field at a fixed place of a command, within [low, high].
std::optional<int> HexFieldInRange(std::string_view command, size_t at, size_t length, long low,
                                   long high) {
  std::optional<long> value = wire::ParseUpperHex(command.substr(at, length));
  if (!value || *value < low || *value > high) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

CommandOutcome MonitorCommands::Interpret(std::string_view text, const MonitorState& state) const {
  if (text == "MCO:1" || text == "MCO:0") {
    const bool remote = text == "MCO:1";
    return Stored(ReplyFraming::Plain, "MCO", [remote](MonitorState& s) { s.SetRemote(remote); });
  }
  if (text == "QID") return Plain(state.Model());
  if (StartsWith(text, "OUT")) return ShowPattern(text);
  if (StartsWith(text, "ZBL:")) return SetZbl(text);
  if (StartsWith(text, "speed")) return SwitchSpeed(text);
  if (StartsWith(text, "G$M:") || StartsWith(text, "WCG:") || StartsWith(text, "C$M:")) {
    return Checked(text);
  }
  return Refused();
}

// "OUT" RRGGBB CC: CC is the sum of the six digit characters.
CommandOutcome MonitorCommands::ShowPattern(std::string_view text) {
  if (text.size() != 11) return Refused();
  std::string_view digits = text.substr(3, 6);
  std::optional<long> rgb = wire::ParseUpperHex(digits);
  std::optional<long> sum = wire::ParseUpperHex(text.substr(9, 2));
  if (!rgb || !sum || *sum != wire::ByteSum(digits)) return Refused();
  Patch patch{static_cast<int>(*rgb >> 16), static_cast<int>((*rgb >> 8) & 0xFF),
              static_cast<int>(*rgb & 0xFF)};
  return Stored(ReplyFraming::Checked, "BOK", [patch](MonitorState& s) { s.SetPatch(patch); });
}

// "ZBL:" and at least three decimal digits.
CommandOutcome MonitorCommands::SetZbl(std::string_view text) {
  std::optional<int> value = ParseDecimalDigits(text.substr(4), 3, 6);
  if (!value) return Refused();
  return Stored(ReplyFraming::Plain, "ZBL", [v = *value](MonitorState& s) { s.SetZbl(v); });
}

// "speed" and a line speed in bit/s. The monitor changes speed and says nothing.
CommandOutcome MonitorCommands::SwitchSpeed(std::string_view text) {
  std::optional<int> speed = ParseDecimalDigits(text.substr(5), 4, 6);
  if (!speed || std::find(kLineSpeeds.begin(), kLineSpeeds.end(), *speed) == kLineSpeeds.end()) {
    return Refused();
  }
  return Stored(ReplyFraming::None, "", [v = *speed](MonitorState& s) { s.SetExpectedSpeed(v); });
}

// Checked commands end in two hexadecimal digits: the sum of the characters from the fifth
// on, the four-character head ("G$M:", "WCG:", "C$M:") not counted.
CommandOutcome MonitorCommands::Checked(std::string_view text) {
  if (text.size() < 6) return Refused();
  std::string_view command = text.substr(0, text.size() - 2);
  std::optional<long> sum = wire::ParseUpperHex(text.substr(text.size() - 2));
  if (!sum || *sum != wire::ByteSum(command.substr(4))) return Refused();
  if (StartsWith(command, "G$M:WDC")) return WritePrimaries(command.substr(7));
  if (StartsWith(command, "G$M:WDW")) return WriteGreyRamp(command);
  if (StartsWith(command, "WCG:01000")) return WriteFilmGamma(command);
  if (StartsWith(command, "C$M:WF")) return WriteLut(command);
  return Refused();
}

CommandOutcome MonitorCommands::WritePrimaries(std::string_view data) {
  auto values = fields::ParseDecimalRun(data, MonitorState::kPrimaryValues);
  if (!values) return Refused();
  return Stored(ReplyFraming::Checked, "G$M",
                [v = std::move(*values)](MonitorState& s) { s.SetPrimaries(v); });
}

// "G$M:WDW" channel (0 Y, 1 x, 2 y) and 256 fields.
CommandOutcome MonitorCommands::WriteGreyRamp(std::string_view command) {
  std::optional<int> channel = HexFieldInRange(command, 7, 1, 0, MonitorState::kGreyChannels - 1);
  auto values = fields::ParseDecimalRun(command.substr(std::min<size_t>(8, command.size())),
                                        MonitorState::kGreyLevels);
  if (!channel || !values) return Refused();
  return Stored(ReplyFraming::Checked, "G$M",
                [c = *channel, v = std::move(*values)](MonitorState& s) { s.SetGreyRamp(c, v); });
}

// "WCG:01000" memory code (3 digits) block (1 digit) "00", then 256 entries.
CommandOutcome MonitorCommands::WriteFilmGamma(std::string_view command) {
  constexpr size_t kHeader = 15;
  if (command.size() < kHeader || command.substr(13, 2) != "00") return Refused();
  std::optional<int> code = HexFieldInRange(command, 9, 3, kFirstFilmGammaCode,
                                            kFirstFilmGammaCode + MonitorState::kMemories - 1);
  std::optional<int> block = HexFieldInRange(command, 12, 1, 0, 3);
  auto values = fields::ParseHexRun(command.substr(kHeader), kEntriesPerBlock);
  if (!code || !block || !values) return Refused();
  int memory = *code - kFirstFilmGammaCode;
  int first = *block * kEntriesPerBlock;
  return Stored(ReplyFraming::Checked, "BOK",
                [memory, first, v = std::move(*values)](MonitorState& s) {
                  s.WriteFilmGamma(memory, first, v);
                });
}

// "C$M:WF" byte count (4 digits, always 0200) channel (1 digit) address (6 digits), then 256
// entries. The address is 4096 * memory code + the first entry, a multiple of 256.
CommandOutcome MonitorCommands::WriteLut(std::string_view command) {
  constexpr size_t kHeader = 17;
  if (command.size() < kHeader) return Refused();
  std::optional<int> count = HexFieldInRange(command, 6, 4, kLutChunkBytes, kLutChunkBytes);
  std::optional<int> channel = HexFieldInRange(command, 10, 1, 0, MonitorState::kLutChannels - 1);
  std::optional<int> address =
      HexFieldInRange(command, 11, 6, kFirstLutCode * MonitorState::kLutEntries,
                      (kFirstLutCode + MonitorState::kMemories) * MonitorState::kLutEntries - 1);
  auto values = fields::ParseHexRun(command.substr(kHeader), kEntriesPerBlock);
  if (!count || !channel || !address || !values || *address % kEntriesPerBlock != 0) {
    return Refused();
  }
  int memory = *address / MonitorState::kLutEntries - kFirstLutCode;
  int first = *address % MonitorState::kLutEntries;
  return Stored(ReplyFraming::Plain, "C$M",
                [memory, c = *channel, first, v = std::move(*values)](MonitorState& s) {
                  s.WriteLut(memory, c, first, v);
                });
}

}  // namespace velluma::bench
