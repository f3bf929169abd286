// SHA-256 against the published FIPS 180-4 examples: the one-block and two-block messages, the
// empty one and a million 'a', in memory and from a file that takes several reads.
#include <gtest/gtest.h>

#include <string>

#include "history/Sha256.h"
#include "tests/support/TempDir.h"

namespace velluma::history {
namespace {

struct KnownDigest {
  const char* why;
  std::string message;
  const char* digest;
};

const std::string kMillionA(1'000'000, 'a');

TEST(Sha256Test, PublishedDigestsComeOutInMemoryAndFromFiles) {
  const KnownDigest cases[] = {
      {"empty: the padding block alone", "",
       "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"one block", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"448 bits: the length no longer fits, a second block",
       "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"896 bits: two full blocks of message",
       "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlm"
       "nopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {"a million 'a': many blocks, and many reads of a file", kMillionA,
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  test::TempDir dir;
  for (const KnownDigest& known : cases) {
    SCOPED_TRACE(known.why);
    EXPECT_EQ(Sha256Hex(known.message), known.digest);
    dir.Write("message", known.message);
    EXPECT_EQ(Sha256OfFile(dir.File("message")), known.digest);
  }
}

TEST(Sha256Test, AFileThatCannotBeReadHasNoDigest) {
  test::TempDir dir;
  EXPECT_EQ(Sha256OfFile(dir.File("missing")), std::nullopt);
  EXPECT_EQ(Sha256OfFile(dir.Path().string()), std::nullopt) << "a folder is not a file";
}

}  // namespace
}  // namespace velluma::history
