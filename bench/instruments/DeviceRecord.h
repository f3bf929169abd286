#pragma once

#include <map>
#include <string>
#include <vector>

namespace velluma::bench {

// What the bench saw of one instrument (the PR-655, the CA server module, the EyeOne library):
// every command or call in order, each with an optional detail (the byte gaps of a serial
// command), and a few state values that the control socket reports as "NAME.KEY VALUE".
class DeviceRecord {
 public:
  explicit DeviceRecord(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }

  void AppendLog(std::string entry, std::string detail = {});
  const std::vector<std::string>& Log() const { return log_; }
  // Each entry followed by a blank and its detail, when it has one.
  std::vector<std::string> DetailedLog() const;
  void ClearLog();

  void Set(const std::string& key, std::string value) { values_[key] = std::move(value); }
  // Adds one to a count kept as a value (a missing value counts from 0).
  void Count(const std::string& key);
  // "NAME.KEY VALUE" for every value, ordered by key.
  std::vector<std::string> StateLines() const;

 private:
  std::string name_;
  std::vector<std::string> log_;
  std::vector<std::string> details_;
  std::map<std::string, std::string> values_;
};

}  // namespace velluma::bench
