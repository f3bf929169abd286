#include "bench/instruments/DeviceRecord.h"

namespace velluma::bench {

void DeviceRecord::AppendLog(std::string entry, std::string detail) {
  log_.push_back(std::move(entry));
  details_.push_back(std::move(detail));
}

std::vector<std::string> DeviceRecord::DetailedLog() const {
  std::vector<std::string> lines;
  for (size_t i = 0; i < log_.size(); ++i) {
    lines.push_back(details_[i].empty() ? log_[i] : log_[i] + " " + details_[i]);
  }
  return lines;
}

void DeviceRecord::ClearLog() {
  log_.clear();
  details_.clear();
}

void DeviceRecord::Count(const std::string& key) {
  auto found = values_.find(key);
  long count = found == values_.end() ? 0 : std::stol(found->second);
  values_[key] = std::to_string(count + 1);
}

std::vector<std::string> DeviceRecord::StateLines() const {
  std::vector<std::string> lines;
  for (const auto& [key, value] : values_) lines.push_back(name_ + "." + key + " " + value);
  return lines;
}

}  // namespace velluma::bench
