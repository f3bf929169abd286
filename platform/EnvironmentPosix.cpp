#include <cstdlib>

#include "platform/Environment.h"

namespace velluma {

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

namespace {
// $VARIABLE, or HOME's `fallback` when it is unset or relative (the XDG rules treat a relative
// folder as unset), with the program's own folder under it.
std::string XdgFolder(const std::string& variable, const std::string& fallback) {
  std::string folder = EnvironmentValue(variable);
  if (folder.empty() || folder.front() != '/') folder = EnvironmentValue("HOME") + fallback;
  return folder + "/Quillem/Velluma";
}
}  // namespace

std::string StationStateFolder() { return XdgFolder("XDG_STATE_HOME", "/.local/state"); }

std::string OperatorDataFolder() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

}  // namespace velluma
