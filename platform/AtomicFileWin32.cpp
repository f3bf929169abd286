// Atomic file replacement on Windows: a fresh file beside the target, written and flushed to the
// disk, then put in the target's place by ReplaceFileW (which keeps the replaced file's
// attributes, security and creation time) or, for a new file, moved there by MoveFileExW.
// Reasons are given in the words the POSIX build gives where one fits.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <utility>

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
  HANDLE handle =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return path;
  std::wstring target(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(
      handle, target.data(), static_cast<DWORD>(target.size()), FILE_NAME_NORMALIZED);
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

// The folder a new file goes into, with the reason a save there is refused in the words the
// POSIX build gives; empty when it may go ahead.
std::string FolderProblem(const std::wstring& target) {
  const DWORD folder = ::GetFileAttributesW(FolderOf(target).c_str());
  if (folder == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return "No such file or directory";
    return error == ERROR_ACCESS_DENIED ? "Permission denied" : SystemErrorText(error);
  }
  return (folder & FILE_ATTRIBUTE_DIRECTORY) ? std::string() : "Not a directory";
}

// Where a save to a path goes, and whether it can go there.
struct Destination {
  std::wstring target;  // the file replaced: the path with its links followed
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  bool exists = false;  // the target is there already
  std::string problem;  // why the save is refused; empty when it may go ahead
};

// What a plain write could not change is not replaced either: a read-only file, and anything that
// is not a regular file (a folder, a device). The temporary file needs a folder to go into.
Destination Resolve(const std::string& path) {
  Destination d;
  d.target = FinalPath(LongPathForm(WideFromUtf8(path)));
  d.attributes = ::GetFileAttributesW(d.target.c_str());
  d.exists = d.attributes != INVALID_FILE_ATTRIBUTES;
  if (!d.exists) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_PATH_NOT_FOUND) {
      d.problem = "No such file or directory";
    } else if (error == ERROR_ACCESS_DENIED) {
      d.problem = "Permission denied";
    } else if (error != ERROR_FILE_NOT_FOUND) {
      d.problem = SystemErrorText(error);
    }
  } else if (d.attributes & FILE_ATTRIBUTE_DIRECTORY) {
    d.problem = "Is a directory";
  } else if (d.attributes & FILE_ATTRIBUTE_DEVICE) {
    d.problem = "Not a regular file";
  } else if (d.attributes & FILE_ATTRIBUTE_READONLY) {
    d.problem = "Permission denied";
  }
  if (d.problem.empty()) d.problem = FolderProblem(d.target);
  return d;
}

// The identity of an open file: its volume and its index there, as hard links share them.
struct FileIdentity {
  DWORD volume = 0, indexHigh = 0, indexLow = 0;
  bool known = false;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOfHandle(HANDLE handle) {
  FileIdentity identity;
  BY_HANDLE_FILE_INFORMATION information{};
  if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &information))
    return identity;
  identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
              information.nFileIndexLow, true};
  return identity;
}

FileIdentity IdentityOfPath(const std::wstring& path) {
  HANDLE handle =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const FileIdentity identity = IdentityOfHandle(handle);
  if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  return identity;
}

// What a save replaces: the file itself, or for a file not there yet its folder and its name
// (names differ by more than case).
struct SaveIdentity {
  FileIdentity file;
  std::wstring name;
};

SaveIdentity IdentityOfSave(const std::string& path) {
  const std::wstring target = FinalPath(LongPathForm(WideFromUtf8(path)));
  SaveIdentity identity{IdentityOfPath(target), {}};
  if (identity.file.known) return identity;
  identity.file = IdentityOfPath(FolderOf(target));
  const std::size_t slash = target.find_last_of(L"/\\");
  identity.name = slash == std::wstring::npos ? target : target.substr(slash + 1);
  return identity;
}

}  // namespace

std::optional<std::string> SaveProblem(const std::string& path) {
  Destination destination = Resolve(path);
  if (destination.problem.empty()) return std::nullopt;
  return std::move(destination.problem);
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents) {
  std::string reason;
  return ReplaceFileAtomically(path, contents, reason);
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string& reason) {
  const Destination destination = Resolve(path);
  if (!destination.problem.empty()) {
    reason = destination.problem;
    return false;
  }
  std::wstring temp;
  HANDLE file = CreateTemporaryFile(FolderOf(destination.target), temp);
  if (file == INVALID_HANDLE_VALUE) {
    reason = SystemErrorText(::GetLastError());
    return false;
  }
  bool ok = WriteAll(file, contents) && ::FlushFileBuffers(file);
  DWORD error = ok ? 0 : ::GetLastError();
  ok = ::CloseHandle(file) && ok;
  ok = ok && PutInPlace(temp, destination.target, destination.exists);
  if (!ok) {
    if (error == 0) error = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    reason = SystemErrorText(error);
    return false;
  }
  // ReplaceFileW keeps the old attributes; a file system that did not, or the plain move, gets
  // them back here.
  if (destination.exists) ::SetFileAttributesW(destination.target.c_str(), destination.attributes);
  return true;
}

bool SameSaveTarget(const std::string& a, const std::string& b) {
  const SaveIdentity first = IdentityOfSave(a), second = IdentityOfSave(b);
  if (!first.file.known || !(first.file == second.file)) return false;
  return ::CompareStringOrdinal(first.name.c_str(), static_cast<int>(first.name.size()),
                                second.name.c_str(), static_cast<int>(second.name.size()),
                                TRUE) == CSTR_EQUAL;
}

std::string_view ConsoleStreamAt(const std::string& path) {
  const FileIdentity named = IdentityOfPath(LongPathForm(WideFromUtf8(path)));
  if (!named.known) return {};
  const std::pair<DWORD, std::string_view> streams[] = {{STD_OUTPUT_HANDLE, "standard output"},
                                                        {STD_ERROR_HANDLE, "standard error"}};
  for (const auto& [which, name] : streams)
    if (IdentityOfHandle(::GetStdHandle(which)) == named) return name;
  return {};
}

}  // namespace velluma
