#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

// How a setting is described to the settings store: its value's name, type, default and the
// choices offered for it. The settings themselves are described by the layer that owns them
// (calibration/StationSettings.h); the store reads and writes a value through its descriptor
// (SettingsStore::Read and Write), so a name cannot be mistyped in one place of many.
namespace velluma::setting {

// A text value. `choices` are the texts the settings dialog and the command line offer; other
// texts may still be stored (each reader decides what an unknown text means).
struct Text {
  std::string_view name;
  std::string_view fallback;
  std::span<const std::string_view> choices;
};

// A 32-bit integer value.
struct Number {
  std::string_view name;
  std::int32_t fallback;
  std::span<const std::int32_t> choices;
};

// Either kind, for a list of settings.
using Any = std::variant<Text, Number>;

}  // namespace velluma::setting
