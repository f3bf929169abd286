#include "lut/LUTLineSource.h"

#include <cstring>
#include <exception>
#include <ios>

#include "lut/LUTReader.h"

namespace velluma {

namespace {
constexpr std::size_t kBufferBytes = 64 * 1024;
static_assert(kBufferBytes < LUTLineSource::kMaxLineBytes);
constexpr std::string_view kReadError = "Read error";
}  // namespace

LUTLineSource::LUTLineSource(std::istream& in)
    : in_(in), buffer_(std::make_unique_for_overwrite<char[]>(kBufferBytes)) {}

LUTLineSource::~LUTLineSource() = default;

void LUTLineSource::Fail(State state, std::string cause) {
  state_ = state;
  cause_ = std::move(cause);
  throw std::ios_base::failure("");
}

// The stream's buffer is read directly: a short read is not the end (a read after it may still
// fail, as a file's does), and a read error is raised by the buffer.
bool LUTLineSource::Refill() {
  begin_ = 0;
  end_ = 0;
  std::streambuf* bytes = in_.rdbuf();
  if (!bytes) Fail(State::FileFailed, std::string(kReadError));
  try {
    end_ = static_cast<std::size_t>(bytes->sgetn(buffer_.get(), kBufferBytes));
  } catch (const std::exception&) {
    Fail(State::FileFailed, std::string(kReadError));
  }
  return end_ > 0;
}

// A line that begins in one block and ends in a later one is gathered in line_.
std::string_view LUTLineSource::NextAcrossBlocks() {
  if (state_ != State::Reading) Fail(state_, cause_);
  line_.clear();
  for (;;) {
    if (begin_ == end_ && !Refill()) {
      // A last line without its line feed is a line; nothing after it is.
      if (line_.empty()) Fail(State::AtEnd, {});
      state_ = State::AtEnd;
      return line_;
    }
    const char* start = buffer_.get() + begin_;
    const auto* feed = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    const std::size_t take = feed ? static_cast<std::size_t>(feed - start) : end_ - begin_;
    if (line_.size() + take > kMaxLineBytes)
      Fail(State::LineTooLong, "a line longer than " + std::to_string(kMaxLineBytes) + " bytes");
    line_.append(start, take);
    begin_ += take;
    if (feed) {
      ++begin_;
      return line_;
    }
  }
}

std::string LUTLineSource::NextTrimmed() {
  return TrimWhitespace(Next());
}

std::string LUTLineSource::NextNonBlankTrimmed() {
  for (;;) {
    std::string line = NextTrimmed();
    if (!line.empty()) return line;
  }
}

ReadStatus LUTLineSource::FailureStatus() const {
  return state_ == State::FileFailed ? ReadStatus::FileError : ReadStatus::ParseError;
}

}  // namespace velluma
