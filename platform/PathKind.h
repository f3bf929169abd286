#pragma once

#include <string>

namespace velluma {

// What a path names, for a file the program keeps (the run history) and must not mistake
// something else for: a database engine that opened a device or a pipe would write its journal
// beside it, and read a pipe for ever.
enum class PathKind {
  Missing,      // nothing there yet (the folders above may be missing too)
  RegularFile,  // a file on a disk, or a link to one
  Folder,
  Device,
  Pipe,  // a FIFO
  Socket,
  Unknown,  // it cannot be told (no permission to look): whoever opens it will find out
};

// What `path` names now, following links.
PathKind KindOfPath(const std::string& path);

}  // namespace velluma
