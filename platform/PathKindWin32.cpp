// Windows names its devices (NUL, COM1, CON) in every folder: the path is opened without access
// to ask what it is, and a folder is opened as one.
#include <windows.h>

#include "platform/PathKind.h"
#include "platform/WideText.h"

namespace velluma {

namespace {
PathKind KindOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (::GetFileInformationByHandle(handle, &information) &&
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return PathKind::Folder;
  switch (::GetFileType(handle)) {
    case FILE_TYPE_DISK:
      return PathKind::RegularFile;
    case FILE_TYPE_CHAR:
      return PathKind::Device;
    case FILE_TYPE_PIPE:
      return PathKind::Pipe;
    default:
      return PathKind::Unknown;
  }
}
}  // namespace

PathKind KindOfPath(const std::string& path) {
  HANDLE handle = ::CreateFileW(WideFromUtf8(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::Missing
                                                                          : PathKind::Unknown;
  }
  const PathKind kind = KindOfHandle(handle);
  ::CloseHandle(handle);
  return kind;
}

}  // namespace velluma
