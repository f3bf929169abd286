#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <streambuf>

namespace velluma {

// A read-only stream buffer over an open C file, so that a reader taking a std::istream reads
// the file without knowing where its bytes come from. A read error is raised as
// std::ios_base::failure once every byte read before it has been handed over, as fread reports
// it: the std::istream reading then sets badbit, which tells a failed read from the end of the
// file. The file stays its opener's; it is never closed here.
class FileStreamBuffer : public std::streambuf {
 public:
  explicit FileStreamBuffer(std::FILE* file);

 protected:
  int_type underflow() override;
  // Large reads go from the file straight into the caller's memory.
  std::streamsize xsgetn(char_type* to, std::streamsize count) override;

 private:
  // fread into `to`; raises the read failure when it read nothing because of an error.
  std::size_t ReadFile(char* to, std::size_t count);

  std::FILE* file_;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace velluma
