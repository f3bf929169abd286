#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velluma {

// Writes `contents` into a temporary file beside `path`, flushes it to the disk and renames it
// over `path`: readers see the old file or the new one, never a half-written one, and a failed
// write leaves the old file as it was. False when any step fails (nothing is left behind then).
bool ReplaceFileAtomically(const std::string& path, const std::string& contents);
// The same, with the reason of a failure in `reason`: SaveProblem's, or the system's words for
// the step that failed ("No space left on device").
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string& reason);

// Why ReplaceFileAtomically would refuse `path`, as far as can be known before writing, in the
// system's words: "Is a directory", "No such file or directory" (a missing folder), "Permission
// denied" (a read-only file, a folder it may not write in), "Not a regular file" (a device, a
// FIFO); none when a save may go ahead. The save itself begins with this check.
std::optional<std::string> SaveProblem(const std::string& path);

// Whether saving to `a` and saving to `b` would replace one and the same file: through symbolic
// links, hard links or another spelling of the path, and for a file not there yet the same name
// in the same folder.
bool SameSaveTarget(const std::string& a, const std::string& b);

// "standard output" or "standard error" when `path` names the file (or device, or pipe) this
// process writes that stream to; empty otherwise.
std::string_view ConsoleStreamAt(const std::string& path);

}  // namespace velluma
