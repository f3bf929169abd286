// Regular files only: opened without blocking, checked with fstat on the open descriptor (so a
// file replaced between a check and the open cannot slip through), then read blocking.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/InputFile.h"

namespace velluma {

namespace {
std::string NotRegularReason(const struct stat& status, int error) {
  if (error != 0) return std::strerror(error);
  if (S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
  return "Not a regular file";
}
}  // namespace

InputFile::InputFile(const std::string& path) {
  errno = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    missing_ = errno == ENOENT;
    reason_ = std::strerror(errno);
    return;
  }
  struct stat status {};
  errno = 0;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    reason_ = NotRegularReason(status, errno);
    ::close(fd);
    return;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  file_ = ::fdopen(fd, "rb");
  if (!file_) {
    reason_ = std::strerror(errno);
    ::close(fd);
    return;
  }
  size_ = status.st_size;
}

InputFile::~InputFile() {
  if (file_) std::fclose(file_);
}

}  // namespace velluma
