// Atomic file replacement on POSIX: a fresh file beside the target, written, flushed to the disk
// and renamed over the target.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>
#include <vector>

#include "platform/AtomicFile.h"

namespace velluma {

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit on a chain of symbolic links

bool WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names in the end: a symbolic link is followed, link by link, so that saving
// through a link replaces the file it points to and keeps the link. False for a loop.
bool FollowLinks(std::string path, std::string& target) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      target = path;
      return true;
    }
    std::vector<char> text(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 4096) +
                           1);
    const ssize_t n = ::readlink(path.c_str(), text.data(), text.size());
    if (n < 0 || static_cast<std::size_t>(n) >= text.size()) return false;
    std::string next(text.data(), static_cast<std::size_t>(n));
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  return false;
}

// A new, empty file in `folder` with a short name of its own (so it fits beside a target whose
// name has the longest length a folder allows), created with the usual mode under the umask.
int CreateTemporaryFile(const std::string& folder, std::string& name) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + "/.velluma-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
           "-" + std::to_string(random() % 1000000) + ".tmp";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The new file takes the old one's mode and, where the system lets it, its owner and group (a
// file of another owner keeps at least its mode).
bool KeepAttributes(int fd, const struct stat& old) {
  const bool owned = ::fchown(fd, old.st_uid, old.st_gid) == 0;
  static_cast<void>(owned);
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // the rename reaches the disk too; a failure here loses nothing already written
  ::close(fd);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& contents) {
  std::string target;
  if (!FollowLinks(path, target)) return false;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return false;
  // What a plain write could not change is not replaced either: a file without write permission,
  // and anything that is not a regular file.
  if (exists &&
      (!S_ISREG(old.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0))
    return false;

  const std::string folder = FolderOf(target);
  std::string temp;
  const int fd = CreateTemporaryFile(folder, temp);
  if (fd < 0) return false;
  bool ok = (!exists || KeepAttributes(fd, old)) && WriteAll(fd, contents) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace velluma
