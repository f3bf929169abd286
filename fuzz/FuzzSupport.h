#pragma once

// What every fuzz target needs: the input as a file for the readers that take a path, a private
// folder for the writers, and a loud stop when a property does not hold.

#include <cstddef>
#include <cstdint>
#include <string>

namespace velluma::fuzz {

// The path of a file in memory ("/proc/self/fd/N") holding exactly `size` bytes of `data`. One
// file serves the whole run; each call replaces its content. Opening the path gives a fresh
// offset, so a reader sees the input from its first byte.
const std::string& InputFile(const std::uint8_t* data, std::size_t size);

// A folder of this run's own, on a memory file system where there is one (the settings store
// flushes every write to the disk), removed when the run ends normally.
const std::string& PrivateFolder();

// Replaces the whole content of `path`; the whole content of `path` ("" when it cannot be read).
void WriteWholeFile(const std::string& path, const std::string& content);
std::string ReadWholeFile(const std::string& path);

// Reports the property that failed and aborts, which libFuzzer records as a crash with the input.
[[noreturn]] void Fail(const char* property);

inline void Check(bool holds, const char* property) {
  if (!holds) Fail(property);
}

}  // namespace velluma::fuzz
