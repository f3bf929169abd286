#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace velluma::cli {

// One setting replaced for a single run: a REG_SZ text or a REG_DWORD number under its name.
struct SettingOverride {
  std::string name;
  std::variant<std::string, std::int32_t> value;

  bool operator==(const SettingOverride&) const = default;
};

}  // namespace velluma::cli
