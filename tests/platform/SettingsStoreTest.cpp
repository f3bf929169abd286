#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/RegistryError.h"
#include "platform/SettingsStore.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::TempDir;

constexpr const char* kHeader =
    "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma]\n";

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RegistryError& error) {
    return error.what();
  }
  return "no error";
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  SettingsStore store{dir.File("sub/folder/Velluma.reg")};
};

TEST_F(SettingsStoreTest, FirstStartCreatesAllElevenValuesWithTheirDefaultsInOrder) {
  store.LoadSettings();
  EXPECT_EQ(store.ReadStringSetting("AnalizerModel"), "NoConnect");
  EXPECT_EQ(store.ReadStringSetting("AnalizerPort"), "USB");
  EXPECT_EQ(store.ReadIntSetting("AnalizerSpeed"), 9600);
  EXPECT_EQ(store.ReadStringSetting("MonitorType"), "RS-232C");
  EXPECT_EQ(store.ReadStringSetting("MonitorPort"), "COM1");
  EXPECT_EQ(store.ReadIntSetting("MonitorSpeed"), 9600);
  EXPECT_EQ(store.ReadIntSetting("MonitorId"), 1);
  EXPECT_EQ(store.ReadIntSetting("LUTFile"), 0);
  EXPECT_EQ(store.ReadStringSetting("LutFileType"), "Baselight");
  EXPECT_EQ(store.ReadStringSetting("LookUpTableSendTo"), "USER1");
  EXPECT_EQ(store.ReadStringSetting("FilmGammaSendTo"), "USER1");

  const std::string file = dir.Read("sub/folder/Velluma.reg");
  EXPECT_EQ(file, std::string(kHeader) +
                      "\"AnalizerModel\"=\"NoConnect\"\n"
                      "\"AnalizerPort\"=\"USB\"\n"
                      "\"AnalizerSpeed\"=dword:00002580\n"
                      "\"MonitorType\"=\"RS-232C\"\n"
                      "\"MonitorPort\"=\"COM1\"\n"
                      "\"MonitorSpeed\"=dword:00002580\n"
                      "\"MonitorId\"=dword:00000001\n"
                      "\"LUTFile\"=dword:00000000\n"
                      "\"LutFileType\"=\"Baselight\"\n"
                      "\"LookUpTableSendTo\"=\"USER1\"\n"
                      "\"FilmGammaSendTo\"=\"USER1\"\n");
}

TEST_F(SettingsStoreTest, LoadSettingsOnlyAddsMissingValuesAndNeverChecksTypes) {
  dir.Write("sub/folder/Velluma.reg", "");  // folder missing: written below instead
  std::filesystem::create_directories(dir.Path() / "sub/folder");
  dir.Write("sub/folder/Velluma.reg", std::string(kHeader) +
                                          "\"AnalizerModel\"=\"PR-655\"\n"
                                          "\"MonitorSpeed\"=\"38400\"\n");
  store.LoadSettings();
  EXPECT_EQ(store.ReadStringSetting("AnalizerModel"), "PR-655");
  EXPECT_EQ(ErrorOf([&] { store.ReadIntSetting("MonitorSpeed"); }),
            "Failed to get data for 'MonitorSpeed'");
  EXPECT_EQ(store.ReadIntSetting("MonitorId"), 1);
}

TEST_F(SettingsStoreTest, DeletedValuesReadEmptyOrFailUntilTheNextStart) {
  store.LoadSettings();
  dir.Write("sub/folder/Velluma.reg", std::string(kHeader) + "\"MonitorType\"=\"RS-232C\"\n");
  EXPECT_EQ(store.ReadStringSetting("AnalizerModel"), "");
  EXPECT_EQ(ErrorOf([&] { store.ReadIntSetting("MonitorSpeed"); }),
            "Failed to get data for 'MonitorSpeed'");
  store.LoadSettings();
  EXPECT_EQ(store.ReadIntSetting("MonitorSpeed"), 9600);
  EXPECT_EQ(store.ReadStringSetting("AnalizerModel"), "NoConnect");
}

TEST_F(SettingsStoreTest, TypeRulesOfIntegerAndStringReads) {
  std::filesystem::create_directories(dir.Path() / "sub/folder");
  dir.Write("sub/folder/Velluma.reg",
            std::string(kHeader) +
                "\"LongText\"=\"9600\"\n"        // five bytes with its NUL: too long for four
                "\"ShortText\"=\"960\"\n"        // four bytes: read, then the type is wrong
                "\"Binary\"=hex:80,25,00,00\n"   // four bytes of REG_BINARY
                "\"Wide\"=hex:80,25,00,00,00\n"  // five bytes of REG_BINARY
                "\"Number\"=dword:fffffff6\n"
                "\"Expand\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\n");
  EXPECT_EQ(ErrorOf([&] { store.ReadIntSetting("LongText"); }),
            "Failed to get data for 'LongText'");
  EXPECT_EQ(ErrorOf([&] { store.ReadIntSetting("ShortText"); }),
            "Invalid data type for 'ShortText'");
  EXPECT_EQ(ErrorOf([&] { store.ReadIntSetting("Binary"); }), "Invalid data type for 'Binary'");
  EXPECT_EQ(ErrorOf([&] { store.ReadIntSetting("Wide"); }), "Failed to get data for 'Wide'");
  EXPECT_EQ(store.ReadIntSetting("Number"), -10);  // 32-bit, signed when read back
  EXPECT_EQ(ErrorOf([&] { store.ReadStringSetting("Number"); }), "Invalid data type for 'Number'");
  EXPECT_EQ(ErrorOf([&] { store.ReadStringSetting("Binary"); }), "Invalid data type for 'Binary'");
  EXPECT_EQ(store.ReadStringSetting("Expand"), "%PATH%");  // as stored, not expanded
  EXPECT_EQ(store.ReadStringSetting("expand"), "%PATH%");  // names are case-insensitive
}

TEST_F(SettingsStoreTest, WritesAreSeenAtOnceWithoutCacheAndKeepOtherValues) {
  store.LoadSettings();
  store.WriteStringSetting("AnalizerModel", "CA-310");
  EXPECT_EQ(store.ReadStringSetting("AnalizerModel"), "CA-310");
  SettingsStore other(store.Path());  // another reader of the same store
  other.WriteIntSetting("MonitorSpeed", 38400);
  EXPECT_EQ(store.ReadIntSetting("MonitorSpeed"), 38400);
  store.WriteStringSetting("MonitorSpeed", "fast");  // replaces the value and its type
  EXPECT_EQ(store.ReadStringSetting("MonitorSpeed"), "fast");
  store.WriteStringSetting("Quote", "a \"b\" \\c");
  EXPECT_EQ(store.ReadStringSetting("Quote"), "a \"b\" \\c");
  EXPECT_EQ(store.ReadStringSetting("LutFileType"), "Baselight");
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / "sub/folder"))
    EXPECT_EQ(entry.path().filename(), "Velluma.reg") << "a temporary file was left behind";
}

TEST_F(SettingsStoreTest, AStoreThatCannotBeWrittenReportsEveryAccessAsSpecified) {
  std::filesystem::create_directories(dir.Path() / "locked");
  SettingsStore locked(dir.File("locked/missing/Velluma.reg"));
  std::filesystem::permissions(dir.Path() / "locked", std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_exec);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes through folder permissions";
  EXPECT_EQ(locked.ReadStringSetting("AnalizerModel"), "");
  EXPECT_EQ(ErrorOf([&] { locked.ReadIntSetting("MonitorId"); }),
            "Failed to get data for 'MonitorId'");
  EXPECT_EQ(ErrorOf([&] { locked.WriteIntSetting("MonitorId", 2); }),
            "Failed to set data for 'MonitorId'");
  EXPECT_EQ(ErrorOf([&] { locked.LoadSettings(); }), "Failed to set data for 'AnalizerModel'");
}

TEST_F(SettingsStoreTest, AFolderInPlaceOfTheFileFailsWithoutCrashing) {
  std::filesystem::create_directories(dir.Path() / "asdir/Velluma.reg");
  SettingsStore blocked(dir.File("asdir/Velluma.reg"));
  EXPECT_EQ(blocked.ReadStringSetting("AnalizerModel"), "");
  EXPECT_EQ(ErrorOf([&] { blocked.ReadIntSetting("MonitorId"); }),
            "Failed to get data for 'MonitorId'");
  EXPECT_EQ(ErrorOf([&] { blocked.LoadSettings(); }), "Failed to set data for 'AnalizerModel'");
}

TEST_F(SettingsStoreTest, HostileFilesNeitherCrashNorLoseTheGoodValues) {
  std::filesystem::create_directories(dir.Path() / "sub/folder");
  std::string noise;
  for (int i = 0; i < 5000; ++i) noise += static_cast<char>((i * 7919) % 256);
  const std::string cases[] = {
      noise,
      std::string(kHeader) + "\"MonitorId\"=dword:1234567890\n\"X\"=hex(zz):00\n\"Y\"=\"open\n" +
          "\"Z\"=hex:1,2,3\n\"MonitorSpeed\"=dword:00004b00\n" + std::string(100000, 'x') + "\n",
      std::string(kHeader) +
          "\"MonitorSpeed\"=dword:00004b00\n[HKEY_CURRENT_USER\\Other]\n\"Keep\"=\"me\"\n",
  };
  for (const std::string& content : cases) {
    dir.Write("sub/folder/Velluma.reg", content);
    store.LoadSettings();
    EXPECT_EQ(store.ReadStringSetting("AnalizerModel"), "NoConnect");
    EXPECT_EQ(store.ReadIntSetting("MonitorId"), 1);
  }
  EXPECT_EQ(store.ReadIntSetting("MonitorSpeed"), 19200);
  EXPECT_NE(dir.Read("sub/folder/Velluma.reg").find("[HKEY_CURRENT_USER\\Other]\n\"Keep\"=\"me\""),
            std::string::npos);
}

TEST_F(SettingsStoreTest, AFileLargerThanTheLimitIsNotOpened) {
  std::filesystem::create_directories(dir.Path() / "sub/folder");
  dir.Write("sub/folder/Velluma.reg",
            std::string(kHeader) + "\"MonitorId\"=dword:00000005\n" + std::string(2 << 20, ' '));
  EXPECT_EQ(ErrorOf([&] { store.ReadIntSetting("MonitorId"); }),
            "Failed to get data for 'MonitorId'");
}

}  // namespace
}  // namespace velluma
