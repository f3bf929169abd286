#include "bench/control/StateReport.h"

#include <charconv>

#include "bench/monitor/MemoryNames.h"

namespace velluma::bench {
namespace {

void AppendDecimal(std::string& line, double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  line.append(buffer, result.ptr);
}

template <typename Value>
std::string Line(const std::string& key, const std::vector<Value>& values) {
  std::string line = key;
  if (values.empty()) return line + " none";
  for (Value value : values) {
    line.push_back(' ');
    if constexpr (std::is_floating_point_v<Value>) {
      AppendDecimal(line, value);
    } else {
      line += std::to_string(value);
    }
  }
  return line;
}

void AppendTables(const MonitorState& state, std::vector<std::string>& lines) {
  for (int channel = 0; channel < MonitorState::kGreyChannels; ++channel) {
    lines.push_back(Line("grey" + std::to_string(channel), state.GreyRamp(channel)));
  }
  for (int memory = 0; memory < MonitorState::kMemories; ++memory) {
    lines.push_back(Line("filmgamma." + MemoryName(memory), state.FilmGamma(memory)));
  }
  for (int memory = 0; memory < MonitorState::kMemories; ++memory) {
    for (int channel = 0; channel < MonitorState::kLutChannels; ++channel) {
      std::string key = "lut." + MemoryName(memory) + "." + std::to_string(channel);
      lines.push_back(Line(key, state.Lut(memory, channel)));
    }
  }
}

std::vector<double> PerChannel(const DisplayParameters& d, double ChannelCurve::*parameter) {
  std::vector<double> values;
  for (const ChannelCurve& curve : d.curves) values.push_back(curve.*parameter);
  return values;
}

}  // namespace

std::vector<std::string> StateReport(const MonitorState& state) {
  std::vector<std::string> lines;
  lines.push_back("model " + state.Model());
  lines.push_back("speed " + std::to_string(state.ExpectedSpeed()));
  const std::optional<Patch>& patch = state.CurrentPatch();
  lines.push_back(patch ? Line("pattern", std::vector<int>{patch->r, patch->g, patch->b})
                        : "pattern none");
  lines.push_back(state.Zbl() ? "zbl " + std::to_string(*state.Zbl()) : "zbl none");
  lines.push_back(std::string("remote ") + (state.Remote() ? "1" : "0"));
  lines.push_back("memory " + SelectionName(state.SelectedMemory()));
  lines.push_back(Line("primaries", state.Primaries()));
  AppendTables(state, lines);
  const MonitorState::Counters& counts = state.Counts();
  lines.push_back("frames " + std::to_string(counts.frames));
  lines.push_back("refused " + std::to_string(counts.refused));
  lines.push_back("foreign " + std::to_string(counts.foreign));
  lines.push_back("overlong " + std::to_string(counts.overlong));
  return lines;
}

std::vector<std::string> DisplayReport(const DisplayParameters& display) {
  const DisplayParameters& d = display;
  using Values = std::vector<double>;
  return {
      Line("display.primaries", Values{d.red.x, d.red.y, d.green.x, d.green.y, d.blue.x, d.blue.y}),
      Line("display.white", Values{d.white}),
      Line("display.white-point", Values{d.whitePoint.x, d.whitePoint.y}),
      Line("display.gamma", PerChannel(d, &ChannelCurve::gamma)),
      Line("display.toe", PerChannel(d, &ChannelCurve::toe)),
      Line("display.shoulder", PerChannel(d, &ChannelCurve::shoulder)),
      Line("display.black", Values{d.black}),
      Line("display.black-point", Values{d.blackPoint.x, d.blackPoint.y}),
      Line("display.interaction", Values{d.interaction}),
      Line("display.tint", Values{d.tintX, d.tintY}),
      Line("display.tint-dark", Values{d.TintAt(0).x, d.TintAt(0).y}),
      Line("display.noise-luminance", Values{d.LuminanceNoise()}),
      Line("display.noise-chromaticity", Values{d.ChromaticityNoise()})};
}

}  // namespace velluma::bench
