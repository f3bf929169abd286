#include "platform/SettingsStore.h"

#include <utility>
#include <vector>

#include "platform/RegistryError.h"
#include "platform/SettingsKey.h"

namespace velluma {

namespace {

constexpr std::size_t kIntegerBufferBytes = 4;

[[noreturn]] void Raise(const char* format, const std::string& name) {
  std::string text(format);
  text.replace(text.find("%s"), 2, name);
  throw RegistryError(text);
}

RegistryValue StringValue(const std::string& text) {
  RegistryValue value{RegSz, {text.begin(), text.end()}};
  value.data.push_back(0);
  return value;
}

RegistryValue IntegerValue(std::int32_t number) {
  auto n = static_cast<std::uint32_t>(number);
  return {RegDword,
          {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
           static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

RegistryValue DefaultValue(const setting::Text& setting) {
  return StringValue(std::string(setting.fallback));
}

RegistryValue DefaultValue(const setting::Number& setting) {
  return IntegerValue(setting.fallback);
}

}  // namespace

std::string SettingsStore::DefaultPath() {
  return DefaultSettingsLocation();
}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

std::string SettingsStore::ReadStringSetting(const std::string& name) const {
  const auto key = SettingsKeyAt(path_);
  if (!key->Open()) return "";
  auto value = key->Query(name);
  if (!value) return "";
  if (value->type != RegSz && value->type != RegExpandSz) Raise("Invalid data type for '%s'", name);
  std::string text(value->data.begin(), value->data.end());
  return text.substr(0, text.find('\0'));
}

std::int32_t SettingsStore::ReadIntSetting(const std::string& name) const {
  const auto key = SettingsKeyAt(path_);
  if (!key->Open()) Raise("Failed to get data for '%s'", name);
  auto value = key->Query(name);
  if (!value || value->data.size() > kIntegerBufferBytes)
    Raise("Failed to get data for '%s'", name);
  if (value->type != RegDword) Raise("Invalid data type for '%s'", name);
  std::uint32_t n = 0;
  for (std::size_t i = 0; i < value->data.size(); ++i)
    n |= std::uint32_t{value->data[i]} << (8 * i);
  return static_cast<std::int32_t>(n);
}

void SettingsStore::WriteStringSetting(const std::string& name, const std::string& value) {
  const auto key = SettingsKeyAt(path_);
  if (!key->Open() || !key->Set(name, StringValue(value)))
    Raise("Failed to set data for '%s'", name);
}

void SettingsStore::WriteIntSetting(const std::string& name, std::int32_t value) {
  const auto key = SettingsKeyAt(path_);
  if (!key->Open() || !key->Set(name, IntegerValue(value)))
    Raise("Failed to set data for '%s'", name);
}

std::string SettingsStore::Read(const setting::Text& setting) const {
  return ReadStringSetting(std::string(setting.name));
}

std::int32_t SettingsStore::Read(const setting::Number& setting) const {
  return ReadIntSetting(std::string(setting.name));
}

void SettingsStore::Write(const setting::Text& setting, const std::string& value) {
  WriteStringSetting(std::string(setting.name), value);
}

void SettingsStore::Write(const setting::Number& setting, std::int32_t value) {
  WriteIntSetting(std::string(setting.name), value);
}

void SettingsStore::ExportTo(const std::string& file) const {
  SettingsKeyAt(path_)->ExportTo(file);
}

void SettingsStore::LoadSettings(std::span<const setting::Any> settings) {
  const auto key = SettingsKeyAt(path_);
  const bool opened = key->Open();
  std::vector<std::pair<std::string, RegistryValue>> missing;
  for (const setting::Any& any : settings) {
    const auto [name, value] = std::visit(
        [](const auto& s) {
          return std::pair{std::string(s.name), DefaultValue(s)};
        },
        any);
    if (!opened || !key->Exists(name)) missing.emplace_back(name, value);
  }
  if (missing.empty()) return;
  if (!opened || !key->SetAll(missing)) Raise("Failed to set data for '%s'", missing.front().first);
}

}  // namespace velluma
