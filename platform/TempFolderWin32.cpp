#include <windows.h>

#include <random>
#include <system_error>

#include "platform/TempFolder.h"
#include "platform/WideText.h"

namespace velluma {

// CreateDirectoryW fails on a name that exists, so a folder it makes is ours alone.
std::string MakeTemporaryFolder(const std::string& prefix) {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
  if (length == 0 || length > MAX_PATH)
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                            "cannot find the folder for temporary files");
  std::random_device random;
  DWORD error = ERROR_ALREADY_EXISTS;
  for (int attempt = 0; attempt < 100 && error == ERROR_ALREADY_EXISTS; ++attempt) {
    const std::wstring folder = std::wstring(base, length) + WideFromUtf8(prefix) +
                                std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                std::to_wstring(random() % 1000000);
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return Utf8FromWide(folder);
    error = ::GetLastError();
  }
  throw std::system_error(static_cast<int>(error), std::system_category(),
                          "cannot make a folder for temporary files");
}

}  // namespace velluma
