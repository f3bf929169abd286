// Replacing a file atomically never loses more than a plain write could: real files, links and
// modes in a temporary folder, the permission cases as a user without root's override.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

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
  test::TempDir dir_;
};

TEST_F(AtomicFileTest, TheLongestLegalNameCanBeSaved) {
  const std::string name(255, 'n');
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File(name), "first"));
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File(name), "second"));
  EXPECT_EQ(Contents(dir_.File(name)), "second");
  EXPECT_EQ(Names(dir_.Path()), std::vector<std::string>{name});
}

#ifdef _WIN32
DWORD Attributes(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

// Windows keeps a file's attributes where POSIX keeps its mode: a new file gets normal ones, a
// replaced file keeps its own, and a read-only file is not replaced at all.
TEST_F(AtomicFileTest, AttributesAreKeptAndAReadOnlyFileIsNotReplaced) {
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File("new.txt"), "one"));
  EXPECT_EQ(Attributes(dir_.File("new.txt")) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
            0u);
  ::SetFileAttributesA(dir_.File("new.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File("new.txt"), "two"));
  EXPECT_EQ(Contents(dir_.File("new.txt")), "two");
  EXPECT_NE(Attributes(dir_.File("new.txt")) & FILE_ATTRIBUTE_HIDDEN, 0u);

  dir_.Write("read-only.txt", "kept");
  ::SetFileAttributesA(dir_.File("read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  fs::create_directory(dir_.File("folder"));
  EXPECT_FALSE(ReplaceFileAtomically(dir_.File("read-only.txt"), "lost"));
  EXPECT_FALSE(ReplaceFileAtomically(dir_.File("folder"), "lost"));
  EXPECT_FALSE(ReplaceFileAtomically(dir_.File("no-such-folder/new.txt"), "lost"));
  EXPECT_EQ(Contents(dir_.File("read-only.txt")), "kept");
  EXPECT_TRUE(fs::is_directory(dir_.File("folder")));
  EXPECT_EQ(Names(dir_.Path()), (std::vector<std::string>{"folder", "new.txt", "read-only.txt"}));
  ::SetFileAttributesA(dir_.File("read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}
#else
mode_t Mode(const std::string& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

TEST_F(AtomicFileTest, ANewFileGetsTheUsualModeUnderTheUmaskAndAnOldOneKeepsItsMode) {
  const mode_t saved = ::umask(022);
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File("new.txt"), "one"));
  EXPECT_EQ(Mode(dir_.File("new.txt")), 0644u);
  ::umask(077);
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File("private.txt"), "one"));
  EXPECT_EQ(Mode(dir_.File("private.txt")), 0600u);
  ::umask(saved);
  for (mode_t mode : {0600, 0640, 0664}) {
    ::chmod(dir_.File("new.txt").c_str(), mode);
    EXPECT_TRUE(ReplaceFileAtomically(dir_.File("new.txt"), "two"));
    EXPECT_EQ(Mode(dir_.File("new.txt")), mode);
  }
  EXPECT_EQ(Contents(dir_.File("new.txt")), "two");
  EXPECT_EQ(Names(dir_.Path()), (std::vector<std::string>{"new.txt", "private.txt"}));
}

TEST_F(AtomicFileTest, ALinkIsFollowedAndItsTargetReplacedInTheTargetsFolder) {
  fs::create_directory(dir_.File("data"));
  dir_.Write("data/cal.txt", "old");
  fs::create_symlink("data/cal.txt", dir_.File("relative"));
  fs::create_symlink(dir_.File("relative"), dir_.File("chain"));
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File("chain"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir_.File("chain")));
  EXPECT_TRUE(fs::is_symlink(dir_.File("relative")));
  EXPECT_EQ(Contents(dir_.File("data/cal.txt")), "new");
  EXPECT_EQ(Names(dir_.File("data")), std::vector<std::string>{"cal.txt"});

  fs::create_symlink("data/later.txt", dir_.File("dangling"));
  EXPECT_TRUE(ReplaceFileAtomically(dir_.File("dangling"), "made"));
  EXPECT_EQ(Contents(dir_.File("data/later.txt")), "made") << "as a plain write creates it";

  fs::create_symlink("loop-b", dir_.File("loop-a"));
  fs::create_symlink("loop-a", dir_.File("loop-b"));
  EXPECT_FALSE(ReplaceFileAtomically(dir_.File("loop-a"), "x"));
}

TEST_F(AtomicFileTest, WhatAPlainWriteCouldNotChangeIsNotReplaced) {
  dir_.Write("read-only.txt", "kept");
  ::chmod(dir_.File("read-only.txt").c_str(), 0444);
  fs::create_directory(dir_.File("folder"));
  ::mkfifo(dir_.File("fifo").c_str(), 0600);
  const std::string folder = dir_.Path().string();
  EXPECT_TRUE(test::RunUnprivileged(folder, [&] {
    return !ReplaceFileAtomically(folder + "/read-only.txt", "lost") &&
           !ReplaceFileAtomically(folder + "/folder", "lost") &&
           !ReplaceFileAtomically(folder + "/fifo", "lost") &&
           !ReplaceFileAtomically(folder + "/no-such-folder/new.txt", "lost");
  }));
  EXPECT_EQ(Contents(dir_.File("read-only.txt")), "kept");
  EXPECT_EQ(Mode(dir_.File("read-only.txt")), 0444u);
  EXPECT_TRUE(fs::is_directory(dir_.File("folder")));
  EXPECT_TRUE(fs::is_fifo(dir_.File("fifo")));
  EXPECT_EQ(Names(dir_.Path()), (std::vector<std::string>{"fifo", "folder", "read-only.txt"}));
}

// The check before a save refuses what the save refuses, with the same reason in the system's
// words, and lets through what the save can write.
TEST_F(AtomicFileTest, TheCheckBeforeASaveGivesTheSavesOwnReason) {
  dir_.Write("plain.txt", "old");
  dir_.Write("read-only.txt", "kept");
  ::chmod(dir_.File("read-only.txt").c_str(), 0444);
  fs::create_directory(dir_.File("folder"));
  fs::create_directory(dir_.File("locked"));
  ::chmod(dir_.File("locked").c_str(), 0555);
  ::mkfifo(dir_.File("fifo").c_str(), 0600);
  fs::create_symlink("loop", dir_.File("loop"));
  fs::create_symlink("folder/new.txt", dir_.File("link"));
  const std::string d = dir_.Path().string() + "/";
  const struct {
    std::string path;
    std::string reason;  // empty: it may be saved to
  } cases[] = {
      {d + "new.txt", ""},
      {d + "plain.txt", ""},
      {d + "link", ""},  // a new file where the link points
      {d + "folder", "Is a directory"},
      {d + "no-such-folder/new.txt", "No such file or directory"},
      {d + "plain.txt/new.txt", "Not a directory"},
      {d + "read-only.txt", "Permission denied"},
      {d + "locked/new.txt", "Permission denied"},  // a folder it may not write in
      {d + "fifo", "Not a regular file"},
      {"/dev/full", "Not a regular file"},
      {d + "loop", "Too many levels of symbolic links"},
  };
  EXPECT_TRUE(test::RunUnprivileged(dir_.Path().string(), [&] {
    bool agree = true;
    for (const auto& c : cases) {
      const std::string checked = SaveProblem(c.path).value_or("");
      std::string saved;
      const bool written = ReplaceFileAtomically(c.path, "new", saved);
      if (checked == c.reason && written == c.reason.empty() && (written || saved == c.reason))
        continue;
      std::cerr << c.path << ": checked \"" << checked << "\", saved \"" << saved << "\"\n";
      agree = false;
    }
    return agree;
  })) << "see the lines above";
  EXPECT_EQ(Contents(dir_.File("folder/new.txt")), "new");
  EXPECT_EQ(Contents(dir_.File("read-only.txt")), "kept");
  for (const std::string& name : Names(dir_.Path())) EXPECT_NE(name.rfind(".velluma-", 0), 0u);
}

// A write that fails part of the way (here at a file-size limit, as on a full disk) says why and
// leaves the old file whole.
TEST_F(AtomicFileTest, AWriteThatFailsSaysWhyAndKeepsTheOldFile) {
  dir_.Write("report.html", "old");
  const std::string path = dir_.File("report.html");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16, 16};
    std::string reason;
    const bool saved = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
                       ReplaceFileAtomically(path, std::string(4096, 'x'), reason);
    ::_exit(!saved && reason == "File too large" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "no \"File too large\"";
  EXPECT_EQ(Contents(path), "old");
  EXPECT_EQ(Names(dir_.Path()), std::vector<std::string>{"report.html"});
}

// Two outputs that would replace one file are found whatever the spelling of their paths, and a
// path that names standard output is known as such.
TEST_F(AtomicFileTest, TwoPathsThatSaveIntoOneFileAreKnownAsOne) {
  dir_.Write("a.html", "a");
  fs::create_directory(dir_.File("sub"));
  fs::create_hard_link(dir_.File("a.html"), dir_.File("hard.csv"));
  fs::create_symlink("a.html", dir_.File("soft.csv"));
  const std::string d = dir_.Path().string();
  const struct {
    std::string a, b;
    bool same;
  } cases[] = {
      {d + "/a.html", d + "/./a.html", true},
      {d + "/a.html", d + "/sub/../a.html", true},
      {d + "/a.html", d + "/hard.csv", true},
      {d + "/soft.csv", d + "/a.html", true},
      {d + "/new.html", d + "//new.html", true},  // not there yet: one folder, one name
      {d + "/new.html", d + "/sub/../new.html", true},
      {d + "/a.html", d + "/new.html", false},
      {d + "/new.html", d + "/new.csv", false},
      {d + "/new.html", d + "/sub/new.html", false},
  };
  for (const auto& c : cases) EXPECT_EQ(SameSaveTarget(c.a, c.b), c.same) << c.a << " " << c.b;
  EXPECT_EQ(ConsoleStreamAt("/dev/stdout"), "standard output");
  EXPECT_EQ(ConsoleStreamAt(d + "/a.html"), "");
}
#endif

}  // namespace
}  // namespace velluma
