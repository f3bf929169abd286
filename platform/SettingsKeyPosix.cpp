// The settings on POSIX: always a registry export file.
#include <cstdlib>

#include "platform/RegistryFile.h"
#include "platform/SettingsKey.h"

namespace velluma {

std::string DefaultSettingsLocation() {
  if (const char* path = std::getenv("VELLUMA_SETTINGS"); path && *path) return path;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.config/Quillem/Velluma.reg";
}

std::unique_ptr<SettingsKey> SettingsKeyAt(const std::string& location) {
  return std::make_unique<RegistryFile>(location);
}

}  // namespace velluma
