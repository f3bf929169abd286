#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryValue.h"

namespace velluma {

// The key the settings live under, wherever it is kept: a text file in the registry export
// format (RegistryFile), or on Windows the machine's registry itself. One object serves one
// access: Open, then the reads or writes, then it goes.
class SettingsKey {
 public:
  using Values = std::vector<std::pair<std::string, RegistryValue>>;

  virtual ~SettingsKey() = default;

  // Opens the key, creating it when it does not exist yet. False when it can be neither opened
  // nor created.
  virtual bool Open() = 0;

  // The value of that name, or none. Names compare case-insensitively, as the registry's do.
  virtual std::optional<RegistryValue> Query(const std::string& name) const = 0;
  bool Exists(const std::string& name) const { return Query(name).has_value(); }

  // Creates or replaces values at once. False, and nothing written, when the key did not open
  // or may not be written.
  virtual bool SetAll(const Values& values) = 0;
  bool Set(const std::string& name, const RegistryValue& value) { return SetAll({{name, value}}); }

  // Writes what the key holds into a new registry export file `file`, for a copy that may be
  // changed without touching the key. A key that does not exist yet leaves `file` unwritten.
  // std::runtime_error, naming the key and the reason, when the key cannot be read or the copy
  // cannot be written.
  virtual void ExportTo(const std::string& file) const = 0;
};

// Where the settings live unless told otherwise: $VELLUMA_SETTINGS (a file) when it is set;
// otherwise ~/.config/Quillem/Velluma.reg on POSIX, and on Windows the machine's registry
// (kMachineSettingsKey).
std::string DefaultSettingsLocation();

// The machine's registry key, as a location (Windows only).
inline constexpr const char* kMachineSettingsKey = "HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma";

// The key at `location`: on Windows kMachineSettingsKey is the registry itself; any other
// location is a registry export file of that path.
std::unique_ptr<SettingsKey> SettingsKeyAt(const std::string& location);

}  // namespace velluma
