#include "tests/support/TempDir.h"

#include <fstream>
#include <sstream>

#include "platform/TempFolder.h"
#include "platform/Utf8Path.h"

namespace velluma::test {

TempDir::TempDir() : path_(PathFromUtf8(MakeTemporaryFolder("velluma-test-"))) {}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::Write(const std::string& name, const std::string& content) const {
  std::ofstream out(File(name), std::ios::binary);
  out << content;
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace velluma::test
