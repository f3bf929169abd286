// libpq is loaded when a PostgreSQL history is first opened: found, every function the history
// calls is there; missing, or a library that is not libpq, the operator reads which and why.
// (Windows links libpq into the program: nothing to load there.)
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "history/HistoryError.h"
#include "history/PostgresLibrary.h"

namespace velluma::history {
namespace {

#ifndef _WIN32
TEST(PostgresLibraryTest, TheInstalledLibraryHasEveryFunction) {
  const PostgresLibrary library;
  const LibpqFunctions& pq = library.Functions();
#define VELLUMA_EXPECT_FOUND(name) EXPECT_NE(pq.name, nullptr) << #name;
  VELLUMA_LIBPQ_FUNCTIONS(VELLUMA_EXPECT_FOUND)
#undef VELLUMA_EXPECT_FOUND
  EXPECT_EQ(&Libpq("postgresql://db/velluma"), &Libpq("postgresql://db/velluma"))
      << "loaded once for the run";
}

TEST(PostgresLibraryTest, AMissingOrWrongLibraryIsNamedWithTheReason) {
  const struct {
    const char* file;
    std::string expected;
  } cases[] = {
      {"/nonexistent/libpq.so.5",
       "PostgreSQL client library /nonexistent/libpq.so.5 not found; install the package libpq5 "
       "(/nonexistent/libpq.so.5: cannot open shared object file: No such file or directory)"},
      {"libsqlite3.so.0", "PostgreSQL client library libsqlite3.so.0 has no PQconnectdb"},
  };
  for (const auto& c : cases) {
    try {
      PostgresLibrary library(c.file);
      ADD_FAILURE() << c.file << " loaded";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(error.what(), c.expected);
    }
  }
}
#endif

}  // namespace
}  // namespace velluma::history
