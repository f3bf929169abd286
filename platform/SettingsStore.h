#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/SettingDescriptors.h"

namespace velluma {

// The program's persistent settings: named values under one key, typed as the registry types
// them. Nothing is cached: every read goes to the store and every write goes to it at once,
// so a value the settings dialog writes is what the next reader sees. Failures are RegistryError
// exceptions with the texts below, meant for the application's top-level handler.
//
// The store lives at a location: a registry export file's path, or on Windows the machine's
// registry key (platform/SettingsKey.h).
class SettingsStore {
 public:
  // $VELLUMA_SETTINGS; otherwise ~/.config/Quillem/Velluma.reg on POSIX and the machine's
  // registry key HKEY_LOCAL_MACHINE\Software\Quillem\Velluma on Windows.
  static std::string DefaultPath();

  explicit SettingsStore(std::string path = DefaultPath());

  // The stored text; "" for a value or key that does not exist.
  // "Invalid data type for '%s'": a value of another type than REG_SZ or REG_EXPAND_SZ.
  std::string ReadStringSetting(const std::string& name) const;

  // The stored 32-bit integer, read with a four-byte buffer.
  // "Failed to get data for '%s'": no such value or key, or stored data longer than four bytes.
  // "Invalid data type for '%s'": a value of another type than REG_DWORD.
  std::int32_t ReadIntSetting(const std::string& name) const;

  // "Failed to set data for '%s'" when the store cannot be written.
  void WriteStringSetting(const std::string& name, const std::string& value);
  void WriteIntSetting(const std::string& name, std::int32_t value);

  // The same, named by their descriptors (platform/SettingDescriptors.h).
  std::string Read(const setting::Text& setting) const;
  std::int32_t Read(const setting::Number& setting) const;
  void Write(const setting::Text& setting, const std::string& value);
  void Write(const setting::Number& setting, std::int32_t value);

  // Creates every missing value of `settings` with its default, in their order; existing values
  // are left alone whatever their type.
  void LoadSettings(std::span<const setting::Any> settings);

  // Writes what the store holds into a new registry export file, for a copy that may be changed
  // without touching the store; nothing when the store does not exist yet. std::runtime_error
  // (or std::filesystem::filesystem_error) naming the store and the reason when that fails.
  void ExportTo(const std::string& file) const;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace velluma
