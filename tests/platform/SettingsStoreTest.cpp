#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "calibration/StationSettings.h"
#include "platform/RegistryError.h"
#include "platform/SettingsStore.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::TempDir;

constexpr const char* kHeader =
    "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma]\n";

std::string ErrorOf(const std::function<void()>& action) {
  return test::ErrorText<RegistryError>(action);
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// Runs `action` on a thread of its own. A reader stuck in open on a FIFO is released after a
// while by opening the FIFO for writing, so that the test fails instead of hanging.
std::vector<std::string> WithoutBlocking(const std::string& path,
                                         const std::function<std::vector<std::string>()>& action) {
  constexpr auto kPatience = std::chrono::seconds(5);
  auto result = std::async(std::launch::async, action);
  if (result.wait_for(kPatience) == std::future_status::timeout) {
    ADD_FAILURE() << "still blocked after " << kPatience.count() << " s";
    while (result.wait_for(std::chrono::milliseconds(10)) == std::future_status::timeout) {
#ifndef _WIN32
      if (const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
#else
      static_cast<void>(path);
#endif
    }
  }
  return result.get();
}

// What a replacement would change: the entry at the path itself and what it leads to.
#ifndef _WIN32
auto Identity(const std::string& path) {
  struct stat entry {};
  struct stat target {};
  ::lstat(path.c_str(), &entry);
  ::stat(path.c_str(), &target);
  return std::tuple(entry.st_ino, entry.st_mode, entry.st_size, target.st_ino, target.st_mode);
}
#else
auto Identity(const std::string& path) {
  std::error_code ignored;
  const auto status = std::filesystem::status(path, ignored);
  const bool regular = std::filesystem::is_regular_file(status);
  return std::tuple(status.type(), regular ? std::filesystem::file_size(path, ignored) : 0,
                    regular ? std::filesystem::last_write_time(path, ignored)
                            : std::filesystem::file_time_type{});
}
#endif

class SettingsStoreTest : public ::testing::Test {
 protected:
  TempDir dir_;
  SettingsStore store_{dir_.File("sub/folder/Velluma.reg")};
};

TEST_F(SettingsStoreTest, FirstStartCreatesAllElevenValuesWithTheirDefaultsInOrder) {
  store_.LoadSettings(setting::kAll);
  EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "NoConnect");
  EXPECT_EQ(store_.ReadStringSetting("AnalizerPort"), "USB");
  EXPECT_EQ(store_.ReadIntSetting("AnalizerSpeed"), 9600);
  EXPECT_EQ(store_.ReadStringSetting("MonitorType"), "RS-232C");
  EXPECT_EQ(store_.ReadStringSetting("MonitorPort"), "COM1");
  EXPECT_EQ(store_.ReadIntSetting("MonitorSpeed"), 9600);
  EXPECT_EQ(store_.ReadIntSetting("MonitorId"), 1);
  EXPECT_EQ(store_.ReadIntSetting("LUTFile"), 0);
  EXPECT_EQ(store_.ReadStringSetting("LutFileType"), "Baselight");
  EXPECT_EQ(store_.ReadStringSetting("LookUpTableSendTo"), "USER1");
  EXPECT_EQ(store_.ReadStringSetting("FilmGammaSendTo"), "USER1");

  const std::string file = dir_.Read("sub/folder/Velluma.reg");
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
  dir_.Write("sub/folder/Velluma.reg", "");  // folder missing: written below instead
  std::filesystem::create_directories(dir_.Path() / "sub/folder");
  dir_.Write("sub/folder/Velluma.reg", std::string(kHeader) +
                                           "\"AnalizerModel\"=\"PR-655\"\n"
                                           "\"MonitorSpeed\"=\"38400\"\n");
  store_.LoadSettings(setting::kAll);
  EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "PR-655");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("MonitorSpeed"); }),
            "Failed to get data for 'MonitorSpeed'");
  EXPECT_EQ(store_.ReadIntSetting("MonitorId"), 1);
}

TEST_F(SettingsStoreTest, DeletedValuesReadEmptyOrFailUntilTheNextStart) {
  store_.LoadSettings(setting::kAll);
  dir_.Write("sub/folder/Velluma.reg", std::string(kHeader) + "\"MonitorType\"=\"RS-232C\"\n");
  EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("MonitorSpeed"); }),
            "Failed to get data for 'MonitorSpeed'");
  store_.LoadSettings(setting::kAll);
  EXPECT_EQ(store_.ReadIntSetting("MonitorSpeed"), 9600);
  EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "NoConnect");
}

TEST_F(SettingsStoreTest, TypeRulesOfIntegerAndStringReads) {
  std::filesystem::create_directories(dir_.Path() / "sub/folder");
  dir_.Write("sub/folder/Velluma.reg",
             std::string(kHeader) +
                 "\"LongText\"=\"9600\"\n"        // five bytes with its NUL: too long for four
                 "\"ShortText\"=\"960\"\n"        // four bytes: read, then the type is wrong
                 "\"Binary\"=hex:80,25,00,00\n"   // four bytes of REG_BINARY
                 "\"Wide\"=hex:80,25,00,00,00\n"  // five bytes of REG_BINARY
                 "\"Number\"=dword:fffffff6\n"
                 "\"Expand\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\n");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("LongText"); }),
            "Failed to get data for 'LongText'");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("ShortText"); }),
            "Invalid data type for 'ShortText'");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("Binary"); }), "Invalid data type for 'Binary'");
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("Wide"); }), "Failed to get data for 'Wide'");
  EXPECT_EQ(store_.ReadIntSetting("Number"), -10);  // 32-bit, signed when read back
  EXPECT_EQ(ErrorOf([&] { store_.ReadStringSetting("Number"); }), "Invalid data type for 'Number'");
  EXPECT_EQ(ErrorOf([&] { store_.ReadStringSetting("Binary"); }), "Invalid data type for 'Binary'");
  EXPECT_EQ(store_.ReadStringSetting("Expand"), "%PATH%");  // as stored, not expanded
  EXPECT_EQ(store_.ReadStringSetting("expand"), "%PATH%");  // names are case-insensitive
}

TEST_F(SettingsStoreTest, WritesAreSeenAtOnceWithoutCacheAndKeepOtherValues) {
  store_.LoadSettings(setting::kAll);
  store_.WriteStringSetting("AnalizerModel", "CA-310");
  EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "CA-310");
  SettingsStore other(store_.Path());  // another reader of the same store
  other.WriteIntSetting("MonitorSpeed", 38400);
  EXPECT_EQ(store_.ReadIntSetting("MonitorSpeed"), 38400);
  store_.WriteStringSetting("MonitorSpeed", "fast");  // replaces the value and its type
  EXPECT_EQ(store_.ReadStringSetting("MonitorSpeed"), "fast");
  store_.WriteStringSetting("Quote", "a \"b\" \\c");
  EXPECT_EQ(store_.ReadStringSetting("Quote"), "a \"b\" \\c");
  EXPECT_EQ(store_.ReadStringSetting("LutFileType"), "Baselight");
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path() / "sub/folder"))
    EXPECT_EQ(entry.path().filename(), "Velluma.reg") << "a temporary file was left behind";
}

#ifdef _WIN32
// Windows: a settings file marked read-only is read as it is and never replaced.
TEST_F(SettingsStoreTest, AReadOnlyStoreIsReadButNeverWritten) {
  store_.LoadSettings(setting::kAll);
  std::filesystem::permissions(store_.Path(), std::filesystem::perms::owner_read);
  EXPECT_EQ(store_.ReadIntSetting("MonitorId"), 1);
  EXPECT_EQ(ErrorOf([&] { store_.WriteIntSetting("MonitorId", 2); }),
            "Failed to set data for 'MonitorId'");
  EXPECT_EQ(store_.ReadIntSetting("MonitorId"), 1);
  std::filesystem::permissions(store_.Path(), std::filesystem::perms::owner_all);
}
#else
TEST_F(SettingsStoreTest, AStoreThatCannotBeWrittenFailsEveryAccessWithItsText) {
  std::filesystem::create_directories(dir_.Path() / "locked");
  SettingsStore locked(dir_.File("locked/missing/Velluma.reg"));
  std::filesystem::permissions(dir_.Path() / "locked", std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::owner_exec);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes through folder permissions";
  EXPECT_EQ(locked.ReadStringSetting("AnalizerModel"), "");
  EXPECT_EQ(ErrorOf([&] { locked.ReadIntSetting("MonitorId"); }),
            "Failed to get data for 'MonitorId'");
  EXPECT_EQ(ErrorOf([&] { locked.WriteIntSetting("MonitorId", 2); }),
            "Failed to set data for 'MonitorId'");
  EXPECT_EQ(ErrorOf([&] { locked.LoadSettings(setting::kAll); }),
            "Failed to set data for 'AnalizerModel'");
}
#endif

TEST_F(SettingsStoreTest, AFolderInPlaceOfTheFileFailsWithoutCrashing) {
  std::filesystem::create_directories(dir_.Path() / "asdir/Velluma.reg");
  SettingsStore blocked(dir_.File("asdir/Velluma.reg"));
  EXPECT_EQ(blocked.ReadStringSetting("AnalizerModel"), "");
  EXPECT_EQ(ErrorOf([&] { blocked.ReadIntSetting("MonitorId"); }),
            "Failed to get data for 'MonitorId'");
  EXPECT_EQ(ErrorOf([&] { blocked.LoadSettings(setting::kAll); }),
            "Failed to set data for 'AnalizerModel'");
}

TEST_F(SettingsStoreTest, HostileFilesNeitherCrashNorLoseTheGoodValues) {
  std::filesystem::create_directories(dir_.Path() / "sub/folder");
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
    dir_.Write("sub/folder/Velluma.reg", content);
    store_.LoadSettings(setting::kAll);
    EXPECT_EQ(store_.ReadStringSetting("AnalizerModel"), "NoConnect");
    EXPECT_EQ(store_.ReadIntSetting("MonitorId"), 1);
  }
  EXPECT_EQ(store_.ReadIntSetting("MonitorSpeed"), 19200);
  EXPECT_NE(dir_.Read("sub/folder/Velluma.reg").find("[HKEY_CURRENT_USER\\Other]\n\"Keep\"=\"me\""),
            std::string::npos);
}

TEST_F(SettingsStoreTest, AFileLargerThanTheLimitIsNotOpened) {
  std::filesystem::create_directories(dir_.Path() / "sub/folder");
  dir_.Write("sub/folder/Velluma.reg",
             std::string(kHeader) + "\"MonitorId\"=dword:00000005\n" + std::string(2 << 20, ' '));
  EXPECT_EQ(ErrorOf([&] { store_.ReadIntSetting("MonitorId"); }),
            "Failed to get data for 'MonitorId'");
}

TEST_F(SettingsStoreTest, AWriteChangesOnlyTheLinesOfTheValueItSets) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma]";
  const std::string top = "Windows Registry Editor Version 5.00\n\n" + key + "\n";
  const std::string other = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Other]\n";
  struct Row {
    const char* reason;
    std::string before;
    const char* name;
    std::variant<std::string, std::int32_t> value;
    std::string after;
  };
  const Row rows[] = {
      {"comments and a malformed line beside the value stay; the value is rewritten in place",
       top + "; by hand\n\"MonitorPort\"=\"COM1\"\n\"Broken=\n\"MonitorId\"=dword:00000001\n",
       "MonitorPort", "COM3",
       top + "; by hand\n\"MonitorPort\"=\"COM3\"\n\"Broken=\n\"MonitorId\"=dword:00000001\n"},
      {"a new value follows the key's last non-blank line (a comment), before the blank lines; a "
       "malformed line of the same name is no value and stays",
       top + "\"MonitorId\"=dword:123456789\n; end\n\n\n[HKEY_CURRENT_USER\\Other]\n\"B\"=\"y\"\n",
       "MonitorId", 2,
       top + "\"MonitorId\"=dword:123456789\n; end\n\"MonitorId\"=dword:00000002\n\n\n"
             "[HKEY_CURRENT_USER\\Other]\n\"B\"=\"y\"\n"},
      {"of duplicates (names compare case-insensitively) the last is rewritten, as spelled",
       top + "\"MonitorPort\"=\"COM1\"\n\"monitorport\"=\"COM2\"\n\"A\"=\"x\"\n", "MonitorPort",
       "COM4", top + "\"MonitorPort\"=\"COM1\"\n\"monitorport\"=\"COM4\"\n\"A\"=\"x\"\n"},
      {"a byte order mark and CR LF line ends stay",
       "\xEF\xBB\xBF" + WithCrLf(top + "\"MonitorId\"=dword:00000001\n\"A\"=\"x\"\n"), "MonitorId",
       7, "\xEF\xBB\xBF" + WithCrLf(top + "\"MonitorId\"=dword:00000007\n\"A\"=\"x\"\n")},
      {"a new value in a CR LF file ends in CR LF, also after a last line without a line end",
       WithCrLf(top) + "\"A\"=\"x\"", "MonitorType", "USB",
       WithCrLf(top + "\"A\"=\"x\"\n\"MonitorType\"=\"USB\"\n")},
      {"a value with continuation lines is replaced as a whole where it stands",
       top + "\"MonitorId\"=hex(4):01,00,\\\n  00,00\n\"A\"=\"x\"\n", "MonitorId", 2,
       top + "\"MonitorId\"=dword:00000002\n\"A\"=\"x\"\n"},
      {"a cut-off hex value does not swallow the value line after it",
       top + "\"Blob\"=hex:01,\\\n\"MonitorPort\"=\"COM2\"\n", "MonitorPort", "COM5",
       top + "\"Blob\"=hex:01,\\\n\"MonitorPort\"=\"COM5\"\n"},
      {"another section keeps its continued hex values, and a cut-off one there does not swallow "
       "the key's section line",
       other + "\"Bin\"=hex:01,02,\\\n  03,04\n\"Cut\"=hex:05,\\\n" + key + "\n\"A\"=\"x\"\n",
       "MonitorId", 2,
       other + "\"Bin\"=hex:01,02,\\\n  03,04\n\"Cut\"=hex:05,\\\n" + key +
           "\n\"A\"=\"x\"\n\"MonitorId\"=dword:00000002\n"},
      {"a missing key section is appended after a blank line", other + "\"B\"=\"y\"", "MonitorId",
       2, other + "\"B\"=\"y\"\n\n" + key + "\n\"MonitorId\"=dword:00000002\n"},
      {"an empty file gets the header too", "", "MonitorPort", "COM2",
       top + "\"MonitorPort\"=\"COM2\"\n"},
  };
  SettingsStore file(dir_.File("Velluma.reg"));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    dir_.Write("Velluma.reg", row.before);
    if (const auto* text = std::get_if<std::string>(&row.value)) {
      file.WriteStringSetting(row.name, *text);
      EXPECT_EQ(file.ReadStringSetting(row.name), *text);
    } else {
      file.WriteIntSetting(row.name, std::get<std::int32_t>(row.value));
      EXPECT_EQ(file.ReadIntSetting(row.name), std::get<std::int32_t>(row.value));
    }
    EXPECT_EQ(dir_.Read("Velluma.reg"), row.after);
  }
}

TEST_F(SettingsStoreTest, WhatCannotBeOpenedFailsAtOnceAndIsNeverReplaced) {
  struct Row {
    const char* reason;
    std::function<void(const std::string&)> make;
  };
  const Row rows[] = {
#ifndef _WIN32
      {"a FIFO without a writer, which a plain open waits on for ever",
       [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
      {"a link to /dev/zero, which would feed a reader without end",
       [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }},
#endif
      {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
      {"a regular file over the size limit",
       [](const std::string& path) {
         std::ofstream(path, std::ios::binary) << kHeader << "\"MonitorId\"=dword:00000005\n"
                                               << std::string(2 << 20, ' ');
       }},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].reason);
    const std::filesystem::path folder = dir_.Path() / ("case" + std::to_string(i));
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "Velluma.reg").string();
    rows[i].make(path);
    const auto before = Identity(path);
    SettingsStore blocked(path);
    const auto outcomes = WithoutBlocking(path, [&] {
      return std::vector<std::string>{
          blocked.ReadStringSetting("MonitorPort"),
          ErrorOf([&] { blocked.ReadIntSetting("MonitorId"); }),
          ErrorOf([&] { blocked.WriteIntSetting("MonitorId", 2); }),
          ErrorOf([&] { blocked.LoadSettings(setting::kAll); }),
      };
    });
    EXPECT_EQ(outcomes, (std::vector<std::string>{"", "Failed to get data for 'MonitorId'",
                                                  "Failed to set data for 'MonitorId'",
                                                  "Failed to set data for 'AnalizerModel'"}));
    EXPECT_EQ(Identity(path), before) << "replaced";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
        << "a temporary file was left behind";
  }
}

}  // namespace
}  // namespace velluma
