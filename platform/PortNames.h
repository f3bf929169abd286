#pragma once

#include <string>

namespace velluma {

// Where the port names "COM1".."COM9" and "USB" lead. An entry of that name in the ports
// directory ($VELLUMA_PORTS, default ~/.config/Quillem/Velluma/ports) is a link to the device: a
// USB serial adapter or a bench pty. Without an entry, "COMn" is the n-th on-board port
// /dev/ttyS(n-1). A name holding a '/' is already a device path and is used as it stands.
// On Windows a port name is the system's own ("COM1" … "COM256") and is used as it stands;
// PortsDirectory() is empty there.
std::string PortsDirectory();
std::string ResolvePortName(const std::string& name);

}  // namespace velluma
