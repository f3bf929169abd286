#include <windows.h>

#include <atomic>

#include "platform/InterruptCleanup.h"
#include "platform/WideText.h"

namespace velluma {

namespace {

// What the console's handler removes. The handler runs on a thread of its own while the program
// goes on, so the names are fixed before it is installed and only read after.
std::wstring cleanupFolder;
std::wstring cleanupFile;
std::atomic<bool> cleanupArmed{false};

// Removes the file and its folder, and hands the event on: the system's default handler then
// ends the process as it would have.
BOOL WINAPI RemoveOnConsoleEvent(DWORD /*event*/) {
  if (cleanupArmed.exchange(false)) {
    ::DeleteFileW(cleanupFile.c_str());
    ::RemoveDirectoryW(cleanupFolder.c_str());
  }
  return FALSE;
}

}  // namespace

void ArmInterruptCleanup(const std::string& folder, const std::string& file) {
  DisarmInterruptCleanup();
  cleanupFolder = WideFromUtf8(folder);
  cleanupFile = WideFromUtf8(file);
  cleanupArmed = true;
  ::SetConsoleCtrlHandler(RemoveOnConsoleEvent, TRUE);
}

void DisarmInterruptCleanup() {
  ::SetConsoleCtrlHandler(RemoveOnConsoleEvent, FALSE);
  cleanupArmed = false;
}

}  // namespace velluma
