// Run-time library loading on Windows, with LoadLibraryW and GetProcAddress.
#include <windows.h>

#include <utility>

#include "platform/SharedLibrary.h"
#include "platform/WideText.h"

namespace velluma {

std::string SharedLibrary::InstalledPath(const std::string& name) {
  // A bare file name: Windows looks for it beside the program, then in the system folders and
  // on the PATH, where a vendor's installer puts it.
  return name + ".dll";
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
  handle_ = reinterpret_cast<void*>(::LoadLibraryW(WideFromUtf8(path).c_str()));
  if (!handle_) {
    lastError_ = "cannot load " + path + ": " + SystemErrorText(::GetLastError());
    return false;
  }
  lastError_.clear();
  return true;
}

void SharedLibrary::Unload() {
  if (handle_) ::FreeLibrary(reinterpret_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

void* SharedLibrary::Symbol(const std::string& name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(handle_), name.c_str()));
}

}  // namespace velluma
