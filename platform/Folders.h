#pragma once

#include <string>
#include <system_error>

namespace velluma {

// The folders the program makes and removes: a file's folder made before the file (the run
// history), a scratch folder removed with what it holds. Paths are UTF-8 on every system.

// The folder that holds `path`; empty for a bare file name.
std::string FolderOf(const std::string& path);

// `name` in `folder`, joined with the system's separator.
std::string InFolder(const std::string& folder, const std::string& name);

// `path` written with the system's own separators: on Windows a "/" (as Qt writes paths)
// becomes "\\", as the operator writes paths there; elsewhere the path as it is.
std::string WithSystemSeparators(const std::string& path);

// Makes `folder` and every folder above it that is missing. The system's error when one cannot be
// made, none when they are all there.
std::error_code MakeFolders(const std::string& folder);

// Removes `folder` and everything in it, as far as it can: what cannot be removed stays.
void RemoveFolderTree(const std::string& folder) noexcept;

}  // namespace velluma
