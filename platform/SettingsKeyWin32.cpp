// The settings on Windows: the machine's registry key HKEY_LOCAL_MACHINE\Software\Quillem\Velluma,
// or a registry export file when a path is given ($VELLUMA_SETTINGS, velluma-cli's private copy).
//
// The key is opened with full access, as the settings dialog needs to write it. An operator
// without administrator rights may not write the machine's hive: the key is then opened for
// reading, so the settings an administrator made still hold, and every write fails with
// "Failed to set data for '%s'" (nothing is written anywhere else, nothing is lost silently).
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "platform/Environment.h"
#include "platform/RegistryFile.h"
#include "platform/SettingsKey.h"
#include "platform/WideText.h"

namespace velluma {

namespace {

constexpr const wchar_t* kKeyPath = L"Software\\Quillem\\Velluma";
// The 64-bit view for the 32-bit build too, so both builds read and write the one key (a 32-bit
// program would otherwise be sent to Software\WOW6432Node).
constexpr REGSAM kMachineView = KEY_WOW64_64KEY;

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The registry keeps text in UTF-16; the settings hold it as 8-bit (UTF-8) text with its NUL
// counted, as the program's narrow registry calls always saw it.
RegistryValue FromRegistry(DWORD type, const std::vector<BYTE>& data) {
  RegistryValue value{type, {data.begin(), data.end()}};
  if (!IsText(type)) return value;
  std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
  std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(wide.size() * sizeof(wchar_t)),
            reinterpret_cast<BYTE*>(wide.data()));
  wide = wide.substr(0, wide.find(L'\0'));
  const std::string text = Utf8FromWide(wide);
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

std::vector<BYTE> ToRegistry(const RegistryValue& value) {
  if (!IsText(value.type)) return {value.data.begin(), value.data.end()};
  std::string text(value.data.begin(), value.data.end());
  text = text.substr(0, text.find('\0'));
  const std::wstring wide = WideFromUtf8(text) + L'\0';
  const auto* bytes = reinterpret_cast<const BYTE*>(wide.data());
  return {bytes, bytes + wide.size() * sizeof(wchar_t)};
}

class MachineRegistryKey final : public SettingsKey {
 public:
  ~MachineRegistryKey() override {
    if (key_) ::RegCloseKey(key_);
  }

  bool Open() override {
    if (key_) ::RegCloseKey(key_);
    key_ = nullptr;
    LSTATUS status =
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS | kMachineView, nullptr, &key_, nullptr);
    if (status == ERROR_ACCESS_DENIED)
      status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ | kMachineView, &key_);
    if (status != ERROR_SUCCESS) key_ = nullptr;
    return key_ != nullptr;
  }

  std::optional<RegistryValue> Query(const std::string& name) const override {
    return key_ ? QueryIn(key_, WideFromUtf8(name)) : std::nullopt;
  }

  bool SetAll(const Values& values) override {
    if (!key_) return false;
    for (const auto& [name, value] : values) {
      const std::vector<BYTE> data = ToRegistry(value);
      if (::RegSetValueExW(key_, WideFromUtf8(name).c_str(), 0, value.type, data.data(),
                           static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        return false;
    }
    return true;
  }

  // Every value of the key, by enumeration, into a fresh registry export file.
  void ExportTo(const std::string& file) const override {
    HKEY key = nullptr;
    const LSTATUS status =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ | kMachineView, &key);
    if (status == ERROR_FILE_NOT_FOUND) return;
    if (status != ERROR_SUCCESS)
      throw std::runtime_error(std::string("cannot read the settings in ") + kMachineSettingsKey +
                               ": " + SystemErrorText(static_cast<unsigned long>(status)));
    Values values;
    DWORD longestName = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &longestName, nullptr, nullptr, nullptr);
    for (DWORD index = 0;; ++index) {
      std::wstring name(longestName + 1, L'\0');
      DWORD length = static_cast<DWORD>(name.size());
      if (::RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      name.resize(length);
      if (auto value = QueryIn(key, name)) values.emplace_back(Utf8FromWide(name), *value);
    }
    ::RegCloseKey(key);
    RegistryFile copy(file);
    if (!copy.Open() || !copy.SetAll(values))
      throw std::runtime_error("cannot write the settings copy '" + file + "'");
  }

 private:
  static std::optional<RegistryValue> QueryIn(HKEY key, const std::wstring& name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    std::vector<BYTE> data(size);
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
      return std::nullopt;
    data.resize(size);
    return FromRegistry(type, data);
  }

  HKEY key_ = nullptr;
};

}  // namespace

std::string DefaultSettingsLocation() {
  if (std::string path = EnvironmentValue("VELLUMA_SETTINGS"); !path.empty()) return path;
  return kMachineSettingsKey;
}

std::unique_ptr<SettingsKey> SettingsKeyAt(const std::string& location) {
  if (location == kMachineSettingsKey) return std::make_unique<MachineRegistryKey>();
  return std::make_unique<RegistryFile>(location);
}

}  // namespace velluma
