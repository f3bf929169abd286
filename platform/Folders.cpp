#include "platform/Folders.h"

#include <filesystem>

#include "platform/Utf8Path.h"

namespace velluma {

std::string FolderOf(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).parent_path());
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name));
}

std::string WithSystemSeparators(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).make_preferred());
}

std::error_code MakeFolders(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(folder), error);
  return error;
}

void RemoveFolderTree(const std::string& folder) noexcept {
  std::error_code ignored;
  std::filesystem::remove_all(PathFromUtf8(folder), ignored);
}

}  // namespace velluma
