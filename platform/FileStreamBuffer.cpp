#include "platform/FileStreamBuffer.h"

#include <algorithm>
#include <cstring>
#include <ios>

namespace velluma {

namespace {
// What one underflow reads; a reader that reads in larger blocks bypasses it.
constexpr std::size_t kBufferBytes = 4096;
}  // namespace

FileStreamBuffer::FileStreamBuffer(std::FILE* file)
    : file_(file), buffer_(std::make_unique<char[]>(kBufferBytes)) {
  setg(buffer_.get(), buffer_.get(), buffer_.get());
}

std::size_t FileStreamBuffer::ReadFile(char* to, std::size_t count) {
  const std::size_t read = std::fread(to, 1, count, file_);
  if (read == 0 && std::ferror(file_)) throw std::ios_base::failure("Read error");
  return read;
}

FileStreamBuffer::int_type FileStreamBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const std::size_t read = ReadFile(buffer_.get(), kBufferBytes);
  setg(buffer_.get(), buffer_.get(), buffer_.get() + read);
  return read == 0 ? traits_type::eof() : traits_type::to_int_type(*gptr());
}

std::streamsize FileStreamBuffer::xsgetn(char_type* to, std::streamsize count) {
  const std::streamsize buffered = std::min<std::streamsize>(egptr() - gptr(), count);
  std::memcpy(to, gptr(), static_cast<std::size_t>(buffered));
  setg(eback(), gptr() + buffered, egptr());
  if (buffered == count) return count;
  // A read error after some bytes is raised by the next read, which finds nothing to hand over.
  const std::size_t rest = static_cast<std::size_t>(count - buffered);
  const std::size_t read =
      buffered > 0 ? std::fread(to + buffered, 1, rest, file_) : ReadFile(to, rest);
  return buffered + static_cast<std::streamsize>(read);
}

}  // namespace velluma
