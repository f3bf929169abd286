#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <ctime>

#include "platform/Environment.h"
#include "platform/StationIdentity.h"

namespace velluma {

std::string HostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

std::string UserName() {
  if (const passwd* entry = ::getpwuid(::geteuid())) return entry->pw_name;
  return EnvironmentValue("LOGNAME");
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace velluma
