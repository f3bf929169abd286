#pragma once

#include <filesystem>
#include <string>

namespace velluma {

// Paths are UTF-8 text inside the program. A std::filesystem::path made from a plain string
// would read it in the system's narrow code page on Windows; made from UTF-8 code units it means
// the same file everywhere.
inline std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace velluma
