// The settings on POSIX: always a registry export file.
#include "platform/Environment.h"
#include "platform/RegistryFile.h"
#include "platform/SettingsKey.h"

namespace velluma {

std::string DefaultSettingsLocation() {
  if (std::string path = EnvironmentValue("VELLUMA_SETTINGS"); !path.empty()) return path;
  return EnvironmentValue("HOME") + "/.config/Quillem/Velluma.reg";
}

std::unique_ptr<SettingsKey> SettingsKeyAt(const std::string& location) {
  return std::make_unique<RegistryFile>(location);
}

}  // namespace velluma
