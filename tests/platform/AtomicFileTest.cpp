// Replacing a file atomically never loses more than a plain write could: real files, links and
// modes in a temporary folder, the permission cases as a user without root's override.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"
#ifndef _WIN32
#include "tests/support/Unprivileged.h"
#endif

namespace velluma {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Nothing but the files a test made itself: no temporary file is left behind.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class AtomicFileTest : public ::testing::Test {
 protected:
  test::TempDir dir;
};

TEST_F(AtomicFileTest, TheLongestLegalNameCanBeSaved) {
  const std::string name(255, 'n');
  EXPECT_TRUE(ReplaceFileAtomically(dir.File(name), "first"));
  EXPECT_TRUE(ReplaceFileAtomically(dir.File(name), "second"));
  EXPECT_EQ(Contents(dir.File(name)), "second");
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{name});
}

#ifdef _WIN32
DWORD Attributes(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

// Windows keeps a file's attributes where POSIX keeps its mode: a new file gets normal ones, a
// replaced file keeps its own, and a read-only file is not replaced at all.
TEST_F(AtomicFileTest, AttributesAreKeptAndAReadOnlyFileIsNotReplaced) {
  EXPECT_TRUE(ReplaceFileAtomically(dir.File("new.txt"), "one"));
  EXPECT_EQ(Attributes(dir.File("new.txt")) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
            0u);
  ::SetFileAttributesA(dir.File("new.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(ReplaceFileAtomically(dir.File("new.txt"), "two"));
  EXPECT_EQ(Contents(dir.File("new.txt")), "two");
  EXPECT_NE(Attributes(dir.File("new.txt")) & FILE_ATTRIBUTE_HIDDEN, 0u);

  dir.Write("read-only.txt", "kept");
  ::SetFileAttributesA(dir.File("read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  fs::create_directory(dir.File("folder"));
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("read-only.txt"), "lost"));
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("folder"), "lost"));
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("no-such-folder/new.txt"), "lost"));
  EXPECT_EQ(Contents(dir.File("read-only.txt")), "kept");
  EXPECT_TRUE(fs::is_directory(dir.File("folder")));
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"folder", "new.txt", "read-only.txt"}));
  ::SetFileAttributesA(dir.File("read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}
#else
mode_t Mode(const std::string& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

TEST_F(AtomicFileTest, ANewFileGetsTheUsualModeUnderTheUmaskAndAnOldOneKeepsItsMode) {
  const mode_t saved = ::umask(022);
  EXPECT_TRUE(ReplaceFileAtomically(dir.File("new.txt"), "one"));
  EXPECT_EQ(Mode(dir.File("new.txt")), 0644u);
  ::umask(077);
  EXPECT_TRUE(ReplaceFileAtomically(dir.File("private.txt"), "one"));
  EXPECT_EQ(Mode(dir.File("private.txt")), 0600u);
  ::umask(saved);
  for (mode_t mode : {0600, 0640, 0664}) {
    ::chmod(dir.File("new.txt").c_str(), mode);
    EXPECT_TRUE(ReplaceFileAtomically(dir.File("new.txt"), "two"));
    EXPECT_EQ(Mode(dir.File("new.txt")), mode);
  }
  EXPECT_EQ(Contents(dir.File("new.txt")), "two");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"new.txt", "private.txt"}));
}

TEST_F(AtomicFileTest, ALinkIsFollowedAndItsTargetReplacedInTheTargetsFolder) {
  fs::create_directory(dir.File("data"));
  dir.Write("data/cal.txt", "old");
  fs::create_symlink("data/cal.txt", dir.File("relative"));
  fs::create_symlink(dir.File("relative"), dir.File("chain"));
  EXPECT_TRUE(ReplaceFileAtomically(dir.File("chain"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir.File("chain")));
  EXPECT_TRUE(fs::is_symlink(dir.File("relative")));
  EXPECT_EQ(Contents(dir.File("data/cal.txt")), "new");
  EXPECT_EQ(Names(dir.File("data")), std::vector<std::string>{"cal.txt"});

  fs::create_symlink("data/later.txt", dir.File("dangling"));
  EXPECT_TRUE(ReplaceFileAtomically(dir.File("dangling"), "made"));
  EXPECT_EQ(Contents(dir.File("data/later.txt")), "made") << "as a plain write creates it";

  fs::create_symlink("loop-b", dir.File("loop-a"));
  fs::create_symlink("loop-a", dir.File("loop-b"));
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("loop-a"), "x"));
}

TEST_F(AtomicFileTest, WhatAPlainWriteCouldNotChangeIsNotReplaced) {
  dir.Write("read-only.txt", "kept");
  ::chmod(dir.File("read-only.txt").c_str(), 0444);
  fs::create_directory(dir.File("folder"));
  ::mkfifo(dir.File("fifo").c_str(), 0600);
  const std::string folder = dir.Path().string();
  EXPECT_TRUE(test::RunUnprivileged(folder, [&] {
    return !ReplaceFileAtomically(folder + "/read-only.txt", "lost") &&
           !ReplaceFileAtomically(folder + "/folder", "lost") &&
           !ReplaceFileAtomically(folder + "/fifo", "lost") &&
           !ReplaceFileAtomically(folder + "/no-such-folder/new.txt", "lost");
  }));
  EXPECT_EQ(Contents(dir.File("read-only.txt")), "kept");
  EXPECT_EQ(Mode(dir.File("read-only.txt")), 0444u);
  EXPECT_TRUE(fs::is_directory(dir.File("folder")));
  EXPECT_TRUE(fs::is_fifo(dir.File("fifo")));
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"fifo", "folder", "read-only.txt"}));
}
#endif

}  // namespace
}  // namespace velluma
