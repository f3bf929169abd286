#include "bench/monitor/MonitorState.h"

#include <algorithm>
#include <stdexcept>

#include "bench/wire/WireFormat.h"

namespace velluma::bench {
namespace {

void WriteEntries(std::vector<int>& table, size_t size, int firstEntry,
                  const std::vector<int>& values) {
  if (firstEntry < 0 || firstEntry + values.size() > size) {
    throw std::out_of_range("table write past its end");
  }
  if (table.empty()) table.assign(size, 0);
  std::copy(values.begin(), values.end(), table.begin() + firstEntry);
}

}  // namespace

MonitorState::MonitorState(std::string model) : model_(std::move(model)) {}

void MonitorState::SelectMemory(std::optional<int> memory) {
  if (memory && (*memory < 0 || *memory >= kMemories)) {
    throw std::out_of_range("the monitor has no user memory " + std::to_string(*memory));
  }
  selectedMemory_ = memory;
}

void MonitorState::SetPrimaries(std::vector<double> values) {
  primaries_ = std::move(values);
}

const std::vector<double>& MonitorState::GreyRamp(int channel) const {
  return grey_.at(channel);
}

void MonitorState::SetGreyRamp(int channel, std::vector<double> values) {
  grey_.at(channel) = std::move(values);
}

const std::vector<int>& MonitorState::FilmGamma(int memory) const {
  return filmGamma_.at(memory);
}

void MonitorState::WriteFilmGamma(int memory, int firstEntry, const std::vector<int>& values) {
  WriteEntries(filmGamma_.at(memory), kFilmGammaEntries, firstEntry, values);
}

const std::vector<int>& MonitorState::Lut(int memory, int channel) const {
  return luts_.at(memory).at(channel);
}

void MonitorState::WriteLut(int memory, int channel, int firstEntry,
                            const std::vector<int>& values) {
  WriteEntries(luts_.at(memory).at(channel), kLutEntries, firstEntry, values);
}

void MonitorState::AppendLog(std::string_view command) {
  log_.push_back(wire::Escaped(command));
}

}  // namespace velluma::bench
