#pragma once

#include <string>

namespace velluma {

// Who and where a procedure ran, for the run history: the machine's host name and the name of
// the user running Velluma ("" when the system does not say), and the present time in UTC as
// "2026-12-09T17:05:53Z".
std::string HostName();
std::string UserName();
std::string UtcNow();

}  // namespace velluma
