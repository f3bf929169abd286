#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryValue.h"

namespace velluma {

// The settings key kept as a text file in the Windows registry export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Quillem\Velluma]
//   "AnalizerModel"="NoConnect"              REG_SZ
//   "AnalizerSpeed"=dword:00002580           REG_DWORD
//   "Note"=hex(2):41,00,42,00,00,00          REG_EXPAND_SZ, UTF-16LE as regedit writes it
//   "Blob"=hex:01,02,03,04                   REG_BINARY (hex(N): any other type N)
//
// Long hex lists may continue on the next line after a trailing backslash. Other sections and
// lines that are not values are kept as they are. The file is read afresh by every Open and
// replaced atomically (temporary file, then rename) by every Set.
class RegistryFile {
 public:
  static constexpr const char* kKeyName = "HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma";
  static constexpr std::size_t kMaxFileBytes = 1 << 20;

  explicit RegistryFile(std::string path) : path_(std::move(path)) {}

  // Reads the key, creating the file (and its folders) when it does not exist yet. False when the
  // file can be neither read nor created, or is larger than kMaxFileBytes.
  bool Open();

  std::optional<RegistryValue> Query(const std::string& name) const;
  bool Exists(const std::string& name) const { return Query(name).has_value(); }

  // Creates or replaces one value and writes the file at once.
  bool Set(const std::string& name, const RegistryValue& value);

  // Several values in one write, for the start-up defaults.
  bool SetAll(const std::vector<std::pair<std::string, RegistryValue>>& values);

 private:
  using Values = std::vector<std::pair<std::string, RegistryValue>>;
  Values::iterator Find(const std::string& name);
  void Put(const std::string& name, const RegistryValue& value);
  bool Parse(const std::string& text);
  bool Save() const;
  std::string Render() const;

  std::string path_;
  std::vector<std::pair<std::string, RegistryValue>> values_;
  std::vector<std::string> otherLines_;  // other sections, verbatim
};

}  // namespace velluma
