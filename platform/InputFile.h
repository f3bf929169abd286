#pragma once

#include <cstdio>
#include <istream>
#include <memory>
#include <string>

#include "platform/FileStreamBuffer.h"

namespace velluma {

// A file opened for reading by the operator's choice. Only a regular file opens: a folder, a
// FIFO, a device or a socket is refused at once, without blocking (a FIFO with no writer would
// wait in open for ever, a device would feed the readers without end).
class InputFile {
 public:
  // Opens `path`; IsOpen() tells whether it did, Reason() why not.
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  std::FILE* Get() const { return file_; }
  // The file's bytes as a stream, for the readers that take one; null when it did not open.
  // Read either through the stream or through Get(), not both.
  std::istream* Stream();
  // The size the file had when it was opened, in bytes.
  long long Size() const { return size_; }
  // The system's reason the file did not open ("No such file or directory", "Is a directory",
  // "Not a regular file"); empty when it opened.
  const std::string& Reason() const { return reason_; }
  // Whether the path names nothing at all (as opposed to something that is not a readable
  // regular file).
  bool Missing() const { return missing_; }

 private:
  std::FILE* file_ = nullptr;
  bool missing_ = false;
  long long size_ = 0;
  std::string reason_;
  std::unique_ptr<FileStreamBuffer> buffer_;
  std::unique_ptr<std::istream> stream_;
};

}  // namespace velluma
