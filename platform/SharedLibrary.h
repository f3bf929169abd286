#pragma once

#include <string>

namespace velluma {

// A library loaded at run time, released by the object that loaded it.
class SharedLibrary {
 public:
  // Where a vendor's library `name` is installed on this system: /usr/local/lib/NAME.so on
  // POSIX, NAME.dll (found the way Windows finds a library) on Windows.
  static std::string InstalledPath(const std::string& name);

  SharedLibrary() = default;
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  SharedLibrary(SharedLibrary&& other) noexcept;
  SharedLibrary& operator=(SharedLibrary&& other) noexcept;

  bool Load(const std::string& path);
  void Unload();
  bool IsLoaded() const { return handle_ != nullptr; }

  // The entry point of that name, or nullptr.
  void* Symbol(const std::string& name) const;

  const std::string& LastError() const { return lastError_; }

 private:
  void* handle_ = nullptr;
  std::string lastError_;
};

}  // namespace velluma
