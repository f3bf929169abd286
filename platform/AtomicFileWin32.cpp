// Atomic file replacement on Windows: a fresh file beside the target, written and flushed to the
// disk, then put in the target's place by ReplaceFileW (which keeps the replaced file's
// attributes, security and creation time) or, for a new file, moved there by MoveFileExW.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <random>

#include "platform/AtomicFile.h"
#include "platform/WideText.h"

namespace velluma {

namespace {

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"/\\");
  if (slash == std::wstring::npos) return L".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// The full path in the form the wide calls take beyond MAX_PATH characters ("\\?\C:\..."), so
// that a file with the longest name a folder allows can be saved in a deep folder too. A path in
// the device namespace or on a network share stays as it is.
std::wstring LongPathForm(const std::wstring& path) {
  if (path.rfind(L"\\\\", 0) == 0) return path;
  DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  length = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return L"\\\\?\\" + full;
}

// The file a path names in the end: saving through a symbolic link replaces the file it points
// to and keeps the link.
std::wstring FinalPath(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return path;
  HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return path;
  std::wstring target(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()),
                                             FILE_NAME_NORMALIZED);
  if (length >= target.size()) {
    target.resize(length + 1);
    length = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()),
                                         FILE_NAME_NORMALIZED);
  }
  ::CloseHandle(handle);
  if (length == 0 || length >= target.size()) return path;
  target.resize(length);
  return target;
}

// A new, empty file in `folder` with a short name of its own, with normal attributes.
HANDLE CreateTemporaryFile(const std::wstring& folder, std::wstring& name) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + L"\\.velluma-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++) + L"-" + std::to_wstring(random() % 1000000) + L".tmp";
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
    if (!::WriteFile(file, text.data() + done, chunk, &n, nullptr) || n == 0) return false;
    done += n;
  }
  return true;
}

// Puts `temp` in the place of `target`. ReplaceFileW keeps what the old file carried; where the
// file system cannot (some network shares), a plain replacing move still makes the switch atomic.
bool PutInPlace(const std::wstring& temp, const std::wstring& target, bool exists) {
  if (!exists) return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
  if (::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
    return true;
  return ::MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& contents) {
  const std::wstring target = FinalPath(LongPathForm(WideFromUtf8(path)));
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return false;
  }
  // What a plain write could not change is not replaced either: a read-only file, and anything
  // that is not a regular file (a folder, a device).
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY |
                               FILE_ATTRIBUTE_DEVICE)))
    return false;

  std::wstring temp;
  HANDLE file = CreateTemporaryFile(FolderOf(target), temp);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, contents) && ::FlushFileBuffers(file);
  ok = ::CloseHandle(file) && ok;
  ok = ok && PutInPlace(temp, target, exists);
  if (!ok) {
    ::DeleteFileW(temp.c_str());
    return false;
  }
  // ReplaceFileW keeps the old attributes; a file system that did not, or the plain move, gets
  // them back here.
  if (exists) ::SetFileAttributesW(target.c_str(), attributes);
  return true;
}

}  // namespace velluma
