#include "fuzz/FuzzSupport.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace velluma::fuzz {

namespace {

[[noreturn]] void SetUpFailed(const char* what) {
  std::perror(what);
  std::abort();
}

// The folder to make the private folder in: $VELLUMA_FUZZ_TMPDIR, else /dev/shm, else $TMPDIR,
// else /tmp.
std::string FolderBase() {
  if (const char* value = std::getenv("VELLUMA_FUZZ_TMPDIR"); value && *value) return value;
  if (::access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
  if (const char* value = std::getenv("TMPDIR"); value && *value) return value;
  return "/tmp";
}

void RemovePrivateFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(PrivateFolder(), ignored);
}

}  // namespace

const std::string& InputFile(const std::uint8_t* data, std::size_t size) {
  static const int kInputFd = ::memfd_create("velluma-fuzz-input", MFD_CLOEXEC);
  static const std::string kInputPath = "/proc/self/fd/" + std::to_string(kInputFd);
  if (kInputFd < 0) SetUpFailed("memfd_create");
  if (::ftruncate(kInputFd, 0) != 0) SetUpFailed("ftruncate");
  for (std::size_t done = 0; done < size;) {
    const ssize_t written = ::pwrite(kInputFd, data + done, size - done, static_cast<off_t>(done));
    if (written <= 0) SetUpFailed("pwrite");
    done += static_cast<std::size_t>(written);
  }
  return kInputPath;
}

const std::string& PrivateFolder() {
  static const std::string kFolder = [] {
    std::string pattern = FolderBase() + "/velluma-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) SetUpFailed("mkdtemp");
    return pattern;
  }();
  static const bool kRemovedAtExit = std::atexit(RemovePrivateFolder) == 0;
  (void)kRemovedAtExit;
  return kFolder;
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out.flush()) SetUpFailed(path.c_str());
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Fail(const char* property) {
  std::fprintf(stderr, "\nvelluma fuzz: property failed: %s\n", property);
  std::abort();
}

}  // namespace velluma::fuzz
