// Windows: the settings in the machine's registry, HKEY_LOCAL_MACHINE\Software\Quillem\Velluma,
// checked through the registry's own calls (the types and bytes it stores), and the export that
// velluma-cli's private copy starts from. The key is the prefix's own: every test begins
// without it. (scripts/windows runs registry-query-test as well, which reads what the Windows
// build wrote with `wine reg query`.)
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "calibration/StationSettings.h"
#include "platform/RegistryError.h"
#include "platform/SettingsKey.h"
#include "platform/SettingsStore.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

constexpr const wchar_t* kKeyPath = L"Software\\Quillem\\Velluma";

std::string ErrorOf(const std::function<void()>& action) {
  return test::ErrorText<RegistryError>(action);
}

struct Stored {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// A value as the registry holds it, or REG_NONE without data when there is none.
Stored Raw(const wchar_t* name) {
  Stored value;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return value;
  DWORD size = 0;
  if (::RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.data.resize(size);
    ::RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
  }
  ::RegCloseKey(key);
  return value;
}

void PutRaw(const wchar_t* name, DWORD type, const std::vector<BYTE>& data) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
  ::RegCloseKey(key);
}

std::vector<BYTE> Utf16WithNul(const std::wstring& text) {
  const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  return {bytes, bytes + (text.size() + 1) * sizeof(wchar_t)};
}

std::vector<BYTE> Dword(DWORD value) {
  return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
          static_cast<BYTE>(value >> 24)};
}

class MachineSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKeyPath); }
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKeyPath);
    ::_putenv_s("VELLUMA_SETTINGS", "");
  }

  SettingsStore store_{kMachineSettingsKey};
};

TEST_F(MachineSettingsTest, TheStoreLivesInTheMachineKeyUnlessAFileIsNamed) {
  ::_putenv_s("VELLUMA_SETTINGS", "");
  EXPECT_EQ(SettingsStore::DefaultPath(), "HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma");
  ::_putenv_s("VELLUMA_SETTINGS", "C:\\settings\\Velluma.reg");
  EXPECT_EQ(SettingsStore::DefaultPath(), "C:\\settings\\Velluma.reg");
}

// Every value with the registry type of its kind: text as REG_SZ in UTF-16 with its NUL,
// numbers as REG_DWORD.
TEST_F(MachineSettingsTest, FirstStartCreatesTheKeyWithEveryValueInItsRegistryType) {
  store_.LoadSettings(setting::kAll);
  const struct {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
  } expected[] = {
      {L"AnalizerModel", REG_SZ, Utf16WithNul(L"NoConnect")},
      {L"AnalizerPort", REG_SZ, Utf16WithNul(L"USB")},
      {L"AnalizerSpeed", REG_DWORD, Dword(9600)},
      {L"MonitorType", REG_SZ, Utf16WithNul(L"RS-232C")},
      {L"MonitorPort", REG_SZ, Utf16WithNul(L"COM1")},
      {L"MonitorSpeed", REG_DWORD, Dword(9600)},
      {L"MonitorId", REG_DWORD, Dword(1)},
      {L"LUTFile", REG_DWORD, Dword(0)},
      {L"LutFileType", REG_SZ, Utf16WithNul(L"Baselight")},
      {L"LookUpTableSendTo", REG_SZ, Utf16WithNul(L"USER1")},
      {L"FilmGammaSendTo", REG_SZ, Utf16WithNul(L"USER1")},
  };
  for (const auto& value : expected) {
    const Stored stored = Raw(value.name);
    const std::wstring name = value.name;
    EXPECT_EQ(stored.type, value.type) << std::string(name.begin(), name.end());
    EXPECT_EQ(stored.data, value.data) << std::string(name.begin(), name.end());
  }
}

// The type rules hold for what the registry itself holds, set there by someone else.
TEST_F(MachineSettingsTest, TypeRulesHoldForValuesSetInTheRegistry) {
  store_.LoadSettings(setting::kAll);
  PutRaw(L"MonitorSpeed", REG_SZ, Utf16WithNul(L"38400"));
  PutRaw(L"MonitorId", REG_BINARY, Dword(2));
  PutRaw(L"AnalizerModel", REG_EXPAND_SZ, Utf16WithNul(L"%PATH%"));
  PutRaw(L"LUTFile", REG_DWORD, Dword(0xFFFFFFF6));
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("MonitorSpeed"); }),
            "Failed to get data for 'MonitorSpeed'");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("MonitorId"); }),
            "Invalid data type for 'MonitorId'");
  EXPECT_EQ(ErrorOf([&] { store_.ReadStringSetting("MonitorId"); }),
            "Invalid data type for 'MonitorId'");
  EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "%PATH%");  // as stored, not expanded
  EXPECT_EQ(store_.ReadIntSetting("LUTFile"), -10);

  store_.LoadSettings(setting::kAll);  // existing values are left alone whatever their type
  EXPECT_EQ(Raw(L"MonitorSpeed").type, static_cast<DWORD>(REG_SZ));

  ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKeyPath, L"MonitorPort");
  ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKeyPath, L"AnalizerSpeed");
  EXPECT_EQ(store_.ReadStringSetting("MonitorPort"), "");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("AnalizerSpeed"); }),
            "Failed to get data for 'AnalizerSpeed'");
}

// Written at once, read afresh, and UTF-8 inside is UTF-16 in the registry.
TEST_F(MachineSettingsTest, WritesReachTheRegistryAtOnceInUtf16) {
  store_.LoadSettings(setting::kAll);
  store_.WriteStringSetting("LutFileType", "Davinci Resolve");
  store_.WriteIntSetting("MonitorSpeed", 38400);
  store_.WriteStringSetting("Note", "Kalibrierung \xC3\xBC");
  EXPECT_EQ(Raw(L"LutFileType").data, Utf16WithNul(L"Davinci Resolve"));
  EXPECT_EQ(Raw(L"MonitorSpeed").data, Dword(38400));
  EXPECT_EQ(Raw(L"Note").data, Utf16WithNul(L"Kalibrierung \u00FC"));
  PutRaw(L"LutFileType", REG_SZ, Utf16WithNul(L"Baselight"));
  EXPECT_EQ(store_.ReadStringSetting("LutFileType"), "Baselight");  // no cache
  EXPECT_EQ(store_.ReadStringSetting("Note"), "Kalibrierung \xC3\xBC");
}

// velluma-cli's private copy: the machine's values with their types, in a file of its own; the
// copy's changes never reach the key.
TEST_F(MachineSettingsTest, AnExportCarriesTheValuesAndTheirTypesIntoAFileOfItsOwn) {
  test::TempDir dir;
  store_.ExportTo(dir.File("none.reg"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "none.reg")) << "no key, no copy";

  store_.LoadSettings(setting::kAll);
  store_.WriteStringSetting("AnalizerModel", "PR-655");
  PutRaw(L"MonitorId", REG_BINARY, Dword(7));
  store_.ExportTo(dir.File("copy.reg"));
  SettingsStore copy(dir.File("copy.reg"));
  EXPECT_EQ(copy.ReadStringSetting("AnalizerModel"), "PR-655");
  EXPECT_EQ(copy.ReadIntSetting("MonitorSpeed"), 9600);
  EXPECT_EQ(ErrorOf([&] { copy.ReadIntSetting("MonitorId"); }),
            "Invalid data type for 'MonitorId'");
  copy.WriteStringSetting("AnalizerModel", "CA-310");
  EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "PR-655");
}

// Left for registry-query-test, run by scripts/windows: the key as the Windows build writes it,
// read back from outside with `wine reg query`.
TEST(MachineSettingsForRegQuery, DISABLED_WriteTheKey) {
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKeyPath);
  ::_putenv_s("VELLUMA_SETTINGS", "");
  SettingsStore store;
  store.LoadSettings(setting::kAll);
  store.WriteStringSetting("AnalizerModel", "CA-310");
  store.WriteIntSetting("MonitorSpeed", 38400);
}

}  // namespace
}  // namespace velluma
