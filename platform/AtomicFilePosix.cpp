// Atomic file replacement on POSIX: a fresh file beside the target, written, flushed to the disk
// and renamed over the target.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "platform/AtomicFile.h"

namespace velluma {

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit on a chain of symbolic links

// Writes all of `text`; false with errno set when a write fails.
bool WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
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

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names in the end: a symbolic link is followed, link by link, so that saving
// through a link replaces the file it points to and keeps the link. False with errno set for a
// loop (ELOOP) or a link that cannot be read.
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
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) >= text.size()) {
      errno = ENAMETOOLONG;
      return false;
    }
    std::string next(text.data(), static_cast<std::size_t>(n));
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  errno = ELOOP;
  return false;
}

// Where a save to a path goes, and whether it can go there.
struct Destination {
  std::string target;     // the file replaced: the path with its links followed
  bool exists = false;    // the target is there already
  struct stat status {};  // the target's, when it exists
  std::string problem;    // why the save is refused; empty when it may go ahead
};

Destination Refused(Destination destination, std::string problem) {
  destination.problem = std::move(problem);
  return destination;
}

// What a plain write could not change is not replaced either: a file without write permission,
// and anything that is not a regular file. The temporary file needs a folder it may write in.
Destination Resolve(const std::string& path) {
  Destination d;
  if (!FollowLinks(path, d.target)) return Refused(d, std::strerror(errno));
  d.exists = ::stat(d.target.c_str(), &d.status) == 0;
  if (!d.exists && errno != ENOENT) return Refused(d, std::strerror(errno));
  if (d.exists && S_ISDIR(d.status.st_mode)) return Refused(d, std::strerror(EISDIR));
  if (d.exists && !S_ISREG(d.status.st_mode)) return Refused(d, "Not a regular file");
  if (d.exists && ::faccessat(AT_FDCWD, d.target.c_str(), W_OK, AT_EACCESS) != 0)
    return Refused(d, std::strerror(errno));
  const std::string folder = FolderOf(d.target);
  struct stat folderStatus {};
  if (::stat(folder.c_str(), &folderStatus) != 0) return Refused(d, std::strerror(errno));
  if (!S_ISDIR(folderStatus.st_mode)) return Refused(d, std::strerror(ENOTDIR));
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return Refused(d, std::strerror(errno));
  return d;
}

// The identity of what a save replaces: the file's own (device and inode, so hard links and
// other spellings agree), or for a file not there yet its folder's and its name.
struct SaveIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  std::string name;  // empty for a file that exists
  bool known = false;
  bool operator==(const SaveIdentity&) const = default;
};

SaveIdentity IdentityOf(const std::string& path) {
  SaveIdentity identity;
  std::string target;
  if (!FollowLinks(path, target)) return identity;
  struct stat status {};
  if (::stat(target.c_str(), &status) != 0) {
    if (::stat(FolderOf(target).c_str(), &status) != 0) return identity;
    identity.name = NameOf(target);
  }
  identity.device = status.st_dev;
  identity.inode = status.st_ino;
  identity.known = true;
  return identity;
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

// Fills the new file and puts it in the target's place; 0, or the errno of the step that failed.
int WriteInPlace(int fd, const std::string& temp, const Destination& destination,
                 const std::string& contents) {
  int error = 0;
  if (!(destination.exists ? KeepAttributes(fd, destination.status) : true) ||
      !WriteAll(fd, contents) || ::fsync(fd) != 0)
    error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), destination.target.c_str()) != 0) error = errno;
  return error;
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
  const std::string folder = FolderOf(destination.target);
  std::string temp;
  const int fd = CreateTemporaryFile(folder, temp);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  if (const int error = WriteInPlace(fd, temp, destination, contents); error != 0) {
    ::unlink(temp.c_str());
    reason = std::strerror(error);
    return false;
  }
  SyncFolder(folder);
  return true;
}

bool SameSaveTarget(const std::string& a, const std::string& b) {
  const SaveIdentity first = IdentityOf(a);
  return first.known && first == IdentityOf(b);
}

std::string_view ConsoleStreamAt(const std::string& path) {
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return {};
  const std::pair<int, std::string_view> streams[] = {{STDOUT_FILENO, "standard output"},
                                                      {STDERR_FILENO, "standard error"}};
  for (const auto& [fd, name] : streams) {
    struct stat stream {};
    if (::fstat(fd, &stream) == 0 && stream.st_dev == named.st_dev && stream.st_ino == named.st_ino)
      return name;
  }
  return {};
}

}  // namespace velluma
