#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace velluma::test {

namespace {
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

void HandOver(const std::filesystem::path& folder) {
  if (::chown(folder.c_str(), kNobody, kNoGroup) != 0) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (::lchown(entry.path().c_str(), kNobody, kNoGroup) != 0) return;
}
}  // namespace

bool RunUnprivileged(const std::string& folder, const std::function<bool()>& body) {
  if (::geteuid() != 0) return body();
  HandOver(folder);
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    const bool dropped =
        ::setgroups(0, nullptr) == 0 && ::setgid(kNoGroup) == 0 && ::setuid(kNobody) == 0;
    ::_exit(dropped && body() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace velluma::test
