#include <sys/stat.h>

#include <cctype>

#include "platform/Environment.h"
#include "platform/PortNames.h"

namespace velluma {

namespace {

bool EntryExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// "COM1".."COM99" → its number; anything else → 0.
int ComPortNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 5 || name.compare(0, 3, "COM") != 0) return 0;
  int number = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

}  // namespace

std::string PortsDirectory() {
  if (std::string dir = EnvironmentValue("VELLUMA_PORTS"); !dir.empty()) return dir;
  return EnvironmentValue("HOME") + "/.config/Quillem/Velluma/ports";
}

std::string ResolvePortName(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  if (name.empty()) return name;
  const std::string entry = PortsDirectory() + "/" + name;
  if (EntryExists(entry)) return entry;
  if (int number = ComPortNumber(name); number > 0) return "/dev/ttyS" + std::to_string(number - 1);
  return entry;
}

}  // namespace velluma
