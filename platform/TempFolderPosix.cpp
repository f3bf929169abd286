#include <stdlib.h>

#include <cerrno>
#include <system_error>

#include "platform/Environment.h"
#include "platform/TempFolder.h"

namespace velluma {

std::string MakeTemporaryFolder(const std::string& prefix) {
  const std::string base = EnvironmentValue("TMPDIR");
  std::string pattern = (base.empty() ? "/tmp" : base) + "/" + prefix + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "cannot make a folder in " + pattern);
  return pattern;
}

}  // namespace velluma
