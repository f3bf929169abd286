#include <windows.h>

#include <ctime>

#include "platform/StationIdentity.h"
#include "platform/WideText.h"

namespace velluma {

std::string HostName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!::GetComputerNameW(name, &size)) return "";
  return Utf8FromWide(std::wstring(name, size));
}

std::string UserName() {
  wchar_t name[257];
  DWORD size = 257;
  if (!::GetUserNameW(name, &size) || size == 0) return "";
  return Utf8FromWide(std::wstring(name, size - 1));  // the size counts the terminating NUL
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_s(&utc, &now);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace velluma
