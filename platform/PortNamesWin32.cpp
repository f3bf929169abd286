// Port names on Windows are the system's own ("COM1" … "COM256"): a port is reached by its name,
// and there is no ports directory to look it up in.
#include "platform/PortNames.h"

namespace velluma {

std::string PortsDirectory() {
  return "";
}

std::string ResolvePortName(const std::string& name) {
  return name;
}

}  // namespace velluma
