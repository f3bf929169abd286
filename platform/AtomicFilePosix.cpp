// Atomic file replacement on POSIX: mkstemp, write, fsync, rename.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/AtomicFile.h"

namespace velluma {

namespace {
bool WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}
}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& contents) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace velluma
