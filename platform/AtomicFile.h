#pragma once

#include <string>

namespace velluma {

// Writes `contents` into a temporary file beside `path`, flushes it to the disk and renames it
// over `path`: readers see the old file or the new one, never a half-written one, and a failed
// write leaves the old file as it was. False when any step fails (nothing is left behind then).
bool ReplaceFileAtomically(const std::string& path, const std::string& contents);

}  // namespace velluma
