#include <sys/stat.h>

#include <cerrno>

#include "platform/PathKind.h"

namespace velluma {

PathKind KindOfPath(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0)
    return errno == ENOENT ? PathKind::Missing : PathKind::Unknown;
  if (S_ISREG(status.st_mode)) return PathKind::RegularFile;
  if (S_ISDIR(status.st_mode)) return PathKind::Folder;
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return PathKind::Device;
  if (S_ISFIFO(status.st_mode)) return PathKind::Pipe;
  if (S_ISSOCK(status.st_mode)) return PathKind::Socket;
  return PathKind::Unknown;
}

}  // namespace velluma
