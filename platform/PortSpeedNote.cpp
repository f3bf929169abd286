#include "platform/PortSpeedNote.h"

#include <cstdio>
#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/Environment.h"
#include "platform/InputFile.h"
#include "platform/Utf8Path.h"

namespace velluma {

namespace {

constexpr std::size_t kLongestNote = 16;  // "115200\n" and room to spare

// The device a port name leads to (a ports-directory link, a udev link), so that two names of one
// port share one note: "/dev/pts/7" becomes the file name "dev_pts_7.speed".
std::string NoteName(const std::string& portPath) {
  std::error_code error;
  const std::filesystem::path target =
      std::filesystem::weakly_canonical(PathFromUtf8(portPath), error);
  std::string device = error ? portPath : Utf8FromPath(target);
  std::string name;
  for (char c : device) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-';
    name += plain ? c : '_';
  }
  while (!name.empty() && name.front() == '_') name.erase(0, 1);
  return name + ".speed";
}

}  // namespace

PortSpeedNote::PortSpeedNote(const std::string& portPath, const std::string& folder)
    : folder_(folder.empty() ? StationStateFolder() : folder),
      file_(Utf8FromPath(PathFromUtf8(folder_) / PathFromUtf8(NoteName(portPath)))) {}

void PortSpeedNote::Write(int speed) const {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(folder_), error);
  ReplaceFileAtomically(file_, std::to_string(speed) + "\n");
}

std::optional<int> PortSpeedNote::Read() const {
  const InputFile input(file_);
  if (!input.IsOpen() || input.Size() > static_cast<long long>(kLongestNote)) return std::nullopt;
  char text[kLongestNote + 1] = {};
  const std::size_t length = std::fread(text, 1, kLongestNote, input.Get());
  int speed = 0;
  std::size_t digits = 0;
  for (; digits < length && text[digits] >= '0' && text[digits] <= '9' && digits < 7; ++digits)
    speed = speed * 10 + (text[digits] - '0');
  if (digits == 0) return std::nullopt;
  return speed;
}

void PortSpeedNote::Remove() const {
  std::error_code error;
  std::filesystem::remove(PathFromUtf8(file_), error);
}

}  // namespace velluma
