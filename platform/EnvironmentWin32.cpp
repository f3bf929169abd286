#include <windows.h>

#include <cstdlib>

#include "platform/Environment.h"
#include "platform/WideText.h"

namespace velluma {

std::string EnvironmentValue(const std::string& name) {
  const wchar_t* value = ::_wgetenv(WideFromUtf8(name).c_str());
  return value ? Utf8FromWide(value) : "";
}

std::string StationStateFolder() {
  return OperatorDataFolder() + "\\state";
}

std::string OperatorDataFolder() {
  return EnvironmentValue("LOCALAPPDATA") + "\\Quillem\\Velluma";
}

}  // namespace velluma
