// Run-time library loading on POSIX, with dlopen.
#include <dlfcn.h>

#include <utility>

#include "platform/SharedLibrary.h"

namespace velluma {

std::string SharedLibrary::InstalledPath(const std::string& name) {
  return "/usr/local/lib/" + name + ".so";
}

SharedLibrary::~SharedLibrary() {
  Unload();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), lastError_(std::move(other.lastError_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
  if (this != &other) {
    Unload();
    handle_ = std::exchange(other.handle_, nullptr);
    lastError_ = std::move(other.lastError_);
  }
  return *this;
}

bool SharedLibrary::Load(const std::string& path) {
  Unload();
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* error = ::dlerror();
    lastError_ = error ? error : "cannot load " + path;
    return false;
  }
  lastError_.clear();
  return true;
}

void SharedLibrary::Unload() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

void* SharedLibrary::Symbol(const std::string& name) const {
  if (!handle_) return nullptr;
  ::dlerror();
  return ::dlsym(handle_, name.c_str());
}

}  // namespace velluma
