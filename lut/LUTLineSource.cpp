#include "lut/LUTLineSource.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ios>

#include "lut/LUTReader.h"

namespace velluma {

namespace {
constexpr std::size_t kBufferBytes = 64 * 1024;

// Empty when `path` names a regular file (links followed), otherwise the reason it does not.
std::string NotARegularFile(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error) return error.message();
  if (std::filesystem::is_regular_file(status)) return {};
  if (std::filesystem::is_directory(status)) return std::strerror(EISDIR);
  return "Not a regular file";
}
}  // namespace

LUTLineSource::LUTLineSource() : buffer_(std::make_unique<char[]>(kBufferBytes)) {}

LUTLineSource::~LUTLineSource() = default;

void LUTLineSource::Fail(State state, std::string cause) {
  state_ = state;
  cause_ = std::move(cause);
  throw std::ios_base::failure("");
}

void LUTLineSource::Open(std::string_view path) {
  const std::string name(path);
  if (std::string reason = NotARegularFile(name); !reason.empty())
    Fail(State::FileFailed, std::move(reason));
  errno = 0;
  file_.reset(std::fopen(name.c_str(), "rb"));
  if (!file_) Fail(State::FileFailed, std::strerror(errno));
}

bool LUTLineSource::Refill() {
  begin_ = 0;
  end_ = std::fread(buffer_.get(), 1, kBufferBytes, file_.get());
  if (end_ > 0) return true;
  if (std::ferror(file_.get())) Fail(State::FileFailed, "Read error");
  return false;
}

const std::string& LUTLineSource::Next() {
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
