#include <cstdlib>

#include "platform/Environment.h"

namespace velluma {

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

// The XDG rules treat a relative folder as unset.
std::string StationStateFolder() {
  std::string state = EnvironmentValue("XDG_STATE_HOME");
  if (state.empty() || state.front() != '/') state = EnvironmentValue("HOME") + "/.local/state";
  return state + "/Quillem/Velluma";
}

}  // namespace velluma
