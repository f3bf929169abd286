#include "platform/SettingsStore.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/RegistryError.h"
#include "platform/RegistryFile.h"

namespace velluma {

namespace {

struct SettingDefault {
  const char* name;
  bool isInteger;
  const char* text;
  std::int32_t number;
};

// The settings and their defaults, in the order LoadSettings checks them.
constexpr SettingDefault kSettingDefaults[] = {
    {"AnalizerModel", false, "NoConnect", 0},
    {"AnalizerPort", false, "USB", 0},
    {"AnalizerSpeed", true, "", 9600},
    {"MonitorType", false, "RS-232C", 0},
    {"MonitorPort", false, "COM1", 0},
    {"MonitorSpeed", true, "", 9600},
    {"MonitorId", true, "", 1},
    {"LUTFile", true, "", 0},
    {"LutFileType", false, "Baselight", 0},
    {"LookUpTableSendTo", false, "USER1", 0},
    {"FilmGammaSendTo", false, "USER1", 0},
};

constexpr std::size_t kIntegerBufferBytes = 4;

[[noreturn]] void Raise(const char* format, const std::string& name) {
  std::string text(format);
  text.replace(text.find("%s"), 2, name);
  throw RegistryError(text);
}

RegistryValue StringValue(const std::string& text) {
  RegistryValue value{kRegSz, {text.begin(), text.end()}};
  value.data.push_back(0);
  return value;
}

RegistryValue IntegerValue(std::int32_t number) {
  auto n = static_cast<std::uint32_t>(number);
  return {kRegDword,
          {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
           static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

}  // namespace

std::string SettingsStore::DefaultPath() {
  if (const char* path = std::getenv("VELLUMA_SETTINGS"); path && *path) return path;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.config/Quillem/Velluma.reg";
}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

std::string SettingsStore::ReadStringSetting(const std::string& name) const {
  RegistryFile key(path_);
  if (!key.Open()) return "";
  auto value = key.Query(name);
  if (!value) return "";
  if (value->type != kRegSz && value->type != kRegExpandSz)
    Raise("Invalid data type for '%s'", name);
  std::string text(value->data.begin(), value->data.end());
  return text.substr(0, text.find('\0'));
}

std::int32_t SettingsStore::ReadIntSetting(const std::string& name) const {
  RegistryFile key(path_);
  if (!key.Open()) Raise("Failed to get data for '%s'", name);
  auto value = key.Query(name);
  if (!value || value->data.size() > kIntegerBufferBytes)
    Raise("Failed to get data for '%s'", name);
  if (value->type != kRegDword) Raise("Invalid data type for '%s'", name);
  std::uint32_t n = 0;
  for (std::size_t i = 0; i < value->data.size(); ++i)
    n |= std::uint32_t{value->data[i]} << (8 * i);
  return static_cast<std::int32_t>(n);
}

void SettingsStore::WriteStringSetting(const std::string& name, const std::string& value) {
  RegistryFile key(path_);
  if (!key.Open() || !key.Set(name, StringValue(value))) Raise("Failed to set data for '%s'", name);
}

void SettingsStore::WriteIntSetting(const std::string& name, std::int32_t value) {
  RegistryFile key(path_);
  if (!key.Open() || !key.Set(name, IntegerValue(value)))
    Raise("Failed to set data for '%s'", name);
}

void SettingsStore::LoadSettings() {
  RegistryFile key(path_);
  const bool opened = key.Open();
  std::vector<std::pair<std::string, RegistryValue>> missing;
  for (const SettingDefault& setting : kSettingDefaults) {
    if (opened && key.Exists(setting.name)) continue;
    missing.emplace_back(
        setting.name, setting.isInteger ? IntegerValue(setting.number) : StringValue(setting.text));
  }
  if (missing.empty()) return;
  if (!opened || !key.SetAll(missing)) Raise("Failed to set data for '%s'", missing.front().first);
}

}  // namespace velluma
