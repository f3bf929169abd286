#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/SettingOverride.h"
#include "platform/SettingsStore.h"

namespace velluma::cli {

// The settings of one velluma-cli run: a private copy of the settings (a settings file, or on
// Windows the machine's registry key, copied into a registry export file), in a fresh folder for
// temporary files, with the command line's overrides written into it. The settings it copies are
// only read, so neither the overrides nor the defaults the station fills in ever reach the
// operator's settings. The folder goes with this object, and with the process when it is ended
// from outside (platform/InterruptCleanup.h). One at a time per process.
class PrivateSettings {
 public:
  // Copies the settings at `source` (a SettingsStore location) when they exist (otherwise the
  // copy starts empty and gets the defaults), fills in the missing values and applies
  // `overrides`. RegistryError, std::runtime_error or std::filesystem::filesystem_error when
  // that fails.
  PrivateSettings(const std::string& source, const std::vector<SettingOverride>& overrides);
  ~PrivateSettings();
  PrivateSettings(const PrivateSettings&) = delete;
  PrivateSettings& operator=(const PrivateSettings&) = delete;

  SettingsStore& Store() { return *store_; }
  const std::string& Path() const { return store_->Path(); }
  const std::string& Folder() const { return folder_; }

 private:
  void Remove();

  std::string folder_;
  std::unique_ptr<SettingsStore> store_;
};

}  // namespace velluma::cli
