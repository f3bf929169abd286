#pragma once

#include <cstddef>
#include <cstring>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "lut/ReadStatus.h"

namespace velluma {

// The lines of one LUT file, read from the stream its caller opened, up to each line feed. Every
// failed read raises std::ios_base::failure: a read error of the stream, a line longer than
// kMaxLineBytes and asking for a line past the end of the file. Afterwards FailureStatus() tells
// which of these it was and FailureCause() says why in words. A carriage return before the line
// feed stays in the line; the readers trim lines or stop parsing at it.
//
// The stream's buffer is read in blocks; a line is held once, at most kMaxLineBytes long. The
// source neither opens nor closes anything: which files may be read at all (regular files only, so
// that a FIFO cannot hold the program and /dev/zero cannot feed it without end) is its caller's
// rule.
class LUTLineSource {
 public:
  // Far beyond any line of a legal LUT file (three numbers and a comment fit in a few hundred
  // bytes), and small enough that the longest line costs little memory.
  static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

  explicit LUTLineSource(std::istream& in);
  ~LUTLineSource();
  LUTLineSource(const LUTLineSource&) = delete;
  LUTLineSource& operator=(const LUTLineSource&) = delete;

  // The next line as it is. The text stays valid until the next call.
  std::string_view Next() {
    if (state_ == State::Reading && begin_ < end_) {
      const char* start = buffer_.get() + begin_;
      if (const auto* feed = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_))) {
        const auto length = static_cast<std::size_t>(feed - start);
        begin_ += length + 1;
        return {start, length};
      }
    }
    return NextAcrossBlocks();
  }
  // The next line without leading and trailing white space.
  std::string NextTrimmed();
  // The next line that is not blank, trimmed.
  std::string NextNonBlankTrimmed();

  // The status a read failure ends in: 3 once the end of the file has been reached or a line was
  // too long, 2 when a read of the stream failed before its end, 3 when the failure came from a
  // parser while the file itself was read without fault.
  ReadStatus FailureStatus() const;
  // Why the file could not be read: what was wrong with the stream or the file; empty when the
  // file itself was read without fault.
  const std::string& FailureCause() const { return cause_; }

 private:
  enum class State { Reading, AtEnd, FileFailed, LineTooLong };
  [[noreturn]] void Fail(State state, std::string cause);
  bool Refill();
  // The next line when it does not lie within the block in hand, and every failure.
  std::string_view NextAcrossBlocks();

  std::istream& in_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0, end_ = 0;  // the unread part of buffer_
  State state_ = State::Reading;
  std::string cause_;
  std::string line_;  // a line that did not lie within one block
};

}  // namespace velluma
