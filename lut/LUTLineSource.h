#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "lut/ReadStatus.h"

namespace velluma {

// The lines of one LUT file, read up to each line feed. Every failed read raises
// std::ios_base::failure: a file that cannot be opened, a read error, a line longer than
// kMaxLineBytes and asking for a line past the end of the file. Afterwards FailureStatus() tells
// which of these it was and FailureCause() says why in words. A carriage return before the line
// feed stays in the line; the readers trim lines or stop parsing at it.
//
// Only a regular file is opened: a folder, a FIFO or a device "cannot be opened", so a FIFO
// without a writer cannot hold the program and /dev/zero cannot feed it without end. A line is
// held once, at most kMaxLineBytes long.
class LUTLineSource {
 public:
  // Far beyond any line of a legal LUT file (three numbers and a comment fit in a few hundred
  // bytes), and small enough that the longest line costs little memory.
  static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

  LUTLineSource();
  ~LUTLineSource();
  LUTLineSource(const LUTLineSource&) = delete;
  LUTLineSource& operator=(const LUTLineSource&) = delete;

  void Open(std::string_view path);

  // The next line as it is. The reference stays valid until the next call.
  const std::string& Next();
  // The next line without leading and trailing white space.
  std::string NextTrimmed();
  // The next line that is not blank, trimmed.
  std::string NextNonBlankTrimmed();

  // The status a read failure ends in: 3 once the end of the file has been reached or a line was
  // too long, 2 when the file could not be opened or a read failed before its end, 3 when the
  // failure came from a parser while the file itself was read without fault.
  ReadStatus FailureStatus() const;
  // Why the file could not be read: the system's reason, or what was wrong with the file;
  // empty when the file itself was read without fault.
  const std::string& FailureCause() const { return cause_; }

 private:
  enum class State { Reading, AtEnd, FileFailed, LineTooLong };
  [[noreturn]] void Fail(State state, std::string cause);
  bool Refill();

  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0, end_ = 0;  // the unread part of buffer_
  State state_ = State::Reading;
  std::string cause_;
  std::string line_;
};

}  // namespace velluma
