#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velluma::history {

// SHA-256 (FIPS 180-4) as 64 lowercase hexadecimal digits: the fingerprint the history keeps of
// a file a run read or wrote, so a later look can tell whether the file is still the same.
std::string Sha256Hex(std::string_view bytes);

// The SHA-256 of the file at `path` (UTF-8), read in blocks; nullopt when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::string& path);

}  // namespace velluma::history
