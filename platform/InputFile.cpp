#include "platform/InputFile.h"

namespace velluma {

std::istream* InputFile::Stream() {
  if (!file_) return nullptr;
  if (!stream_) {
    buffer_ = std::make_unique<FileStreamBuffer>(file_);
    stream_ = std::make_unique<std::istream>(buffer_.get());
  }
  return stream_.get();
}

}  // namespace velluma
