#include <stdlib.h>

#include <cerrno>
#include <system_error>

#include "platform/TempFolder.h"

namespace velluma {

std::string MakeTemporaryFolder(const std::string& prefix) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "cannot make a folder in " + pattern);
  return pattern;
}

}  // namespace velluma
