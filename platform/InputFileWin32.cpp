// Regular files only: the path is opened (a folder too, so that it can be named as one), the open
// handle's type and attributes are checked (so a file replaced between a check and the open
// cannot slip through), and only a file on a disk is handed to the C library for reading.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/InputFile.h"
#include "platform/WideText.h"

namespace velluma {

namespace {

// The reasons in the words the POSIX build gives, so that the operator reads the same text.
std::string OpenFailureReason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return "Permission denied";
    default:
      return SystemErrorText(error);
  }
}

}  // namespace

InputFile::InputFile(const std::string& path) {
  HANDLE handle =
      ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    missing_ = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    reason_ = OpenFailureReason(error);
    return;
  }
  BY_HANDLE_FILE_INFORMATION information{};
  const bool disk = ::GetFileType(handle) == FILE_TYPE_DISK;
  if (!disk || !::GetFileInformationByHandle(handle, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    reason_ = disk && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                  ? "Is a directory"
                  : "Not a regular file";
    ::CloseHandle(handle);
    return;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    reason_ = "cannot read " + path;
    ::CloseHandle(handle);
    return;
  }
  file_ = ::_fdopen(fd, "rb");
  if (!file_) {
    reason_ = "cannot read " + path;
    ::_close(fd);
    return;
  }
  size_ = static_cast<long long>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
}

InputFile::~InputFile() {
  if (file_) std::fclose(file_);
}

}  // namespace velluma
