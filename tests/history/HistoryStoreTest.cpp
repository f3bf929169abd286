// The run history, the same cases on both engines: a file (SQLite) and a server of the test's own
// (PostgreSQL). Records come back whole and in order, stations writing at once lose nothing, a
// record is kept whole or not at all, and every failure is one clear line that loses nothing
// already kept: a newer schema, a server killed mid-run, a file locked or read-only, a full disk.
// Under Wine the SQLite cases run, with stations as threads and the read-only attribute; the
// server, the full disk and the files that are not files are POSIX's.
#include <gtest/gtest.h>
#include <sqlite3.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "history/HistoryError.h"
#include "history/OpenHistory.h"
#include "history/SqlHistory.h"
#include "tests/support/TempDir.h"
#ifndef _WIN32
#include "tests/support/PostgresServer.h"
#include "tests/support/Unprivileged.h"
#endif

namespace velluma::history {

// A record in a failure's message: its id, time, kind and figures, the rest seldom differs.
void PrintTo(const Record& record, std::ostream* out) {
  *out << "#" << record.id << " " << record.timeUtc << " " << KindName(record.kind) << " "
       << record.host << " " << record.monitorModel << "@" << record.monitorPort << " [";
  for (const auto& [name, value] : record.figures) *out << " " << name << "=" << value;
  *out << " ]";
}

namespace {

// ---- The engines ----

#ifndef _WIN32
// One server for the whole test program; each test starts from an empty database on it.
test::PostgresServer& Server() {
  static test::PostgresServer server;
  return server;
}

struct PostgresEngine {
  PostgresEngine() { Server().Execute("DROP SCHEMA public CASCADE; CREATE SCHEMA public"); }
  std::string Location() const { return Server().Uri(); }
  void Execute(const std::string& sql) const { Server().Execute(sql); }
};
#endif

struct SqliteEngine {
  test::TempDir dir;
  // In a folder that does not exist yet: opening makes it.
  std::string Location() const { return dir.File("Quillem/Velluma/history.db"); }
  void Execute(const std::string& sql) const {
    sqlite3* db = nullptr;
    sqlite3_open(Location().c_str(), &db);
    char* error = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (result != SQLITE_OK) throw std::runtime_error(sql + ": " + message);
  }
};

// ---- Records ----

Record MakeRecord(const std::string& time, Kind kind, const std::string& model,
                  const std::string& port) {
  Record record;
  record.timeUtc = time;
  record.host = "grading-3";
  record.user = "op";
  record.kind = kind;
  record.monitorModel = model;
  record.monitorPort = port;
  record.monitorLink = "RS-232C";
  record.monitorSpeed = 38400;
  record.instrument = "CA-310";
  record.instrumentPort = "USB";
  record.outcome = "Calibration finished.";
  return record;
}

std::vector<std::int64_t> Ids(const std::vector<Record>& records) {
  std::vector<std::int64_t> ids;
  for (const Record& record : records) ids.push_back(record.id);
  return ids;
}

// Runs `body` in `count` stations at once (child processes; threads on Windows, where a process
// cannot fork); true when every one returned true. Each opens its own store: nothing is shared.
#ifdef _WIN32
bool InStations(int count, const std::function<bool(int)>& body) {
  std::vector<int> done(count, 0);
  std::vector<std::thread> stations;
  for (int station = 0; station < count; ++station) {
    stations.emplace_back([&, station] {
      try {
        done[station] = body(station);
      } catch (const std::exception& error) {
        std::fprintf(stderr, "station %d: %s\n", station, error.what());
      }
    });
  }
  for (std::thread& station : stations) station.join();
  return std::all_of(done.begin(), done.end(), [](int one) { return one != 0; });
}
#else
bool InStations(int count, const std::function<bool(int)>& body) {
  std::vector<pid_t> children;
  for (int station = 0; station < count; ++station) {
    const pid_t child = ::fork();
    if (child == 0) {
      bool done = false;
      try {
        done = body(station);
      } catch (const std::exception& error) {
        std::fprintf(stderr, "station %d: %s\n", station, error.what());
      }
      std::fflush(stderr);
      ::_exit(done ? 0 : 1);
    }
    children.push_back(child);
  }
  bool all = true;
  for (pid_t child : children) {
    int status = 0;
    all = ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
          all;
  }
  return all;
}
#endif

// ---- The same cases on both engines ----

template <typename Engine>
class HistoryStoreTest : public ::testing::Test {
 protected:
  Engine engine_;
};

#ifdef _WIN32
using Engines = ::testing::Types<SqliteEngine>;
#else
using Engines = ::testing::Types<SqliteEngine, PostgresEngine>;
#endif
class EngineNames {
 public:
  template <typename Engine>
  static std::string GetName(int) {
    return std::is_same_v<Engine, SqliteEngine> ? "Sqlite" : "Postgres";
  }
};
TYPED_TEST_SUITE(HistoryStoreTest, Engines, EngineNames);

TYPED_TEST(HistoryStoreTest, RecordsComeBackWholeNewestFirstAndAsFiltered) {
  // Appended out of time order; text the SQL must carry as it is.
  std::vector<Record> kept = {
      MakeRecord("2026-12-09T17:05:53Z", Kind::Auto, "QX-7MR520", "/dev/ttyUSB0"),
      MakeRecord("2026-12-08T09:00:00Z", Kind::Verification, "QX-7MR520", "/dev/ttyUSB1"),
      MakeRecord("2026-12-10T08:30:00Z", Kind::SendLut, "QX-7MR520", "/dev/ttyUSB0"),
      MakeRecord("2026-12-10T08:30:00Z", Kind::Correct, "QX-9", "/dev/ttyS0"),
  };
  kept[0].figures = {{"max_bright", "260.1"}, {"rgb_verdict", "OK"}, {"b_offset", "-3"}};
  kept[1].figures = {
      {"file", "/x/O'Brien; DROP TABLE runs;--.txt"}, {"file_sha256", "ab"}, {"max_bright", "99"}};
  kept[1].outcome = "Verification: ΔE2000 3.4 > 3.0\nFAIL";
  kept[1].resultCode = 1;
  kept[2].monitorLink = "ID 3 on the addressed link";
  kept[2].figures = {{"frames", "257"}};
  kept[3].resultCode = -2;
  kept[3].figures = {{"memory", "USER2"}, {"after_grey_de_average", "0.310"}};
  {
    auto store = OpenHistory(this->engine_.Location());
    for (Record& record : kept) store->Append(record);
  }
  const std::vector<std::int64_t> given = Ids(kept);
  const std::set<std::int64_t> ids(given.begin(), given.end());
  EXPECT_EQ(ids.size(), kept.size());
  EXPECT_EQ(ids.count(0), 0u);

  auto store = OpenHistory(this->engine_.Location());  // a second opening finds it all
  const std::vector<Record> all = store->Query({});
  ASSERT_EQ(all.size(), 4u);
  // The two records of one second are newest first by the order they were kept in.
  EXPECT_EQ(all, (std::vector<Record>{kept[3], kept[2], kept[0], kept[1]}));
  EXPECT_EQ(*all[3].Figure("max_bright"), "99");
  EXPECT_EQ(all[3].Figure("rgb_verdict"), nullptr);

  struct FilterCase {
    const char* why;
    Filter filter;
    std::vector<std::int64_t> expected;
  };
  const FilterCase cases[] = {
      {"since is inclusive",
       {.sinceUtc = "2026-12-09T17:05:53Z"},
       {kept[3].id, kept[2].id, kept[0].id}},
      {"one kind", {.kind = Kind::Verification}, {kept[1].id}},
      {"the newest kind", {.kind = Kind::Correct}, {kept[3].id}},
      {"a monitor by its model", {.monitor = "QX-9"}, {kept[3].id}},
      {"a monitor by its port", {.monitor = "/dev/ttyUSB0"}, {kept[2].id, kept[0].id}},
      {"only exact matches", {.monitor = "QX"}, {}},
      {"the newest few", {.limit = 2}, {kept[3].id, kept[2].id}},
      {"everything at once",
       {.sinceUtc = "2026-12-01T00:00:00Z", .kind = Kind::Auto, .monitor = "QX-7MR520", .limit = 1},
       {kept[0].id}},
      {"nothing after the last", {.sinceUtc = "2027-01-01T00:00:00Z"}, {}},
  };
  for (const FilterCase& row : cases) {
    SCOPED_TRACE(row.why);
    const std::vector<Record> found = store->Query(row.filter);
    EXPECT_EQ(Ids(found), row.expected);
    for (const Record& record : found)  // figures come with a filtered record too
      EXPECT_EQ(record.figures, std::find(all.begin(), all.end(), record)->figures);
  }
}

TYPED_TEST(HistoryStoreTest, ANewerSchemaIsRefusedAndLeftAsItIs) {
  Record record = MakeRecord("2026-12-09T17:05:53Z", Kind::Auto, "QX-7MR520", "COM3");
  std::string where;
  {
    auto store = OpenHistory(this->engine_.Location());
    store->Append(record);
    where = store->Where();
  }
  this->engine_.Execute("UPDATE velluma_schema SET version = 3");
  try {
    OpenHistory(this->engine_.Location());
    FAIL() << "a newer history opened";
  } catch (const HistoryError& error) {
    EXPECT_EQ(std::string(error.what()),
              "history " + where + ": schema version 3 is newer than this Velluma's 1");
  }
  this->engine_.Execute("UPDATE velluma_schema SET version = 1");
  EXPECT_EQ(OpenHistory(this->engine_.Location())->Query({}), std::vector<Record>{record});
}

// Two stations start at once on a history nobody has opened yet, so they also race to make the
// schema, and then append as fast as they can.
TYPED_TEST(HistoryStoreTest, StationsWritingAtOnceLoseNothing) {
  constexpr int kStations = 2;
  constexpr int kRecordsEach = 200;
  const std::string location = this->engine_.Location();
  const bool everyStationFinished = InStations(kStations, [&](int station) {
    auto store = OpenHistory(location);
    for (int n = 0; n < kRecordsEach; ++n) {
      Record record = MakeRecord("2026-12-09T17:05:53Z", Kind::Auto, "QX-7MR520", "COM3");
      record.host = "station-" + std::to_string(station);
      record.figures = {{"n", std::to_string(n)}, {"station", record.host}};
      store->Append(record);
    }
    return true;
  });
  ASSERT_TRUE(everyStationFinished);

  const std::vector<Record> all = OpenHistory(location)->Query({});
  ASSERT_EQ(all.size(), static_cast<std::size_t>(kStations * kRecordsEach));
  std::set<std::int64_t> ids;
  std::map<std::string, std::set<std::string>> numbersByStation;
  for (const Record& record : all) {
    ids.insert(record.id);
    ASSERT_EQ(record.figures.size(), 2u);
    EXPECT_EQ(*record.Figure("station"), record.host) << "a figure went to another record";
    numbersByStation[record.host].insert(*record.Figure("n"));
  }
  EXPECT_EQ(ids.size(), all.size());
  for (const auto& [station, numbers] : numbersByStation)
    EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kRecordsEach)) << station;
}

// A figure the schema refuses (its name longer than any the program writes) fails the whole
// record: the run row goes with it, and nothing of it lands on the next record.
TYPED_TEST(HistoryStoreTest, ARecordIsKeptWholeOrNotAtAll) {
  auto store = OpenHistory(this->engine_.Location());
  Record first = MakeRecord("2026-12-09T17:00:00Z", Kind::Auto, "QX-7MR520", "COM3");
  store->Append(first);

  Record refused = MakeRecord("2026-12-09T17:05:00Z", Kind::SendFilmGamma, "QX-7MR520", "COM3");
  refused.figures = {{"file", "/x/fg.txt"}, {std::string(65, 'n'), "1"}};
  try {
    store->Append(refused);
    FAIL() << "a figure name of 65 characters was kept";
  } catch (const HistoryError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("history " + store->Where() + ": ", 0), 0u) << message;
    std::string lower = message;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    EXPECT_NE(lower.find("check constraint"), std::string::npos) << message;
  }
  EXPECT_EQ(refused.id, 0);

  Record next = MakeRecord("2026-12-09T17:10:00Z", Kind::SendFilmGamma, "QX-7MR520", "COM3");
  next.figures = {{"frames", "257"}};
  store->Append(next);
  EXPECT_EQ(store->Query({}), (std::vector<Record>{next, first}));
}

// ---- PostgreSQL: the server goes away mid-run ----

#ifndef _WIN32

TEST(PostgresHistoryTest, AKilledServerIsOneClearLineAndWhatWasKeptRemains) {
  PostgresEngine engine;
  auto store = OpenHistory(engine.Location());
  std::vector<Record> kept;
  for (const char* time : {"2026-12-09T17:00:00Z", "2026-12-09T17:01:00Z"}) {
    kept.push_back(MakeRecord(time, Kind::Auto, "QX-7MR520", "COM3"));
    store->Append(kept.back());
  }

  Server().Kill();
  Record lost = MakeRecord("2026-12-09T17:02:00Z", Kind::Auto, "QX-7MR520", "COM3");
  try {
    store->Append(lost);
    ADD_FAILURE() << "a record went to a killed server";
  } catch (const HistoryError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("history " + store->Where() + ": ", 0), 0u) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    EXPECT_EQ(message.find("unused-secret"), std::string::npos) << message;
  }
  Server().Start();

  // The same store goes on once the server is back.
  kept.push_back(MakeRecord("2026-12-09T17:03:00Z", Kind::Auto, "QX-7MR520", "COM3"));
  store->Append(kept.back());
  EXPECT_EQ(store->Query({}), (std::vector<Record>{kept[2], kept[1], kept[0]}));
}
#endif

// ---- SQLite: a file another program holds, a file that may only be read ----

class SqliteHistoryTest : public ::testing::Test {
 protected:
  SqliteEngine engine_;
  Record first_ = MakeRecord("2026-12-09T17:00:00Z", Kind::Auto, "QX-7MR520", "COM3");
  Record second_ = MakeRecord("2026-12-09T17:05:00Z", Kind::Verification, "QX-7MR520", "COM3");
};

TEST_F(SqliteHistoryTest, AFileLockedLongerThanTheBusyTimeoutIsAClearErrorAndLosesNothing) {
  const auto store = SqlHistory::InFile(engine_.Location(), std::chrono::milliseconds(50));
  store->Append(first_);

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(engine_.Location().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  try {
    store->Append(second_);
    ADD_FAILURE() << "appended past another writer";
  } catch (const HistoryError& error) {
    EXPECT_EQ(std::string(error.what()), "history " + engine_.Location() + ": database is locked");
  }
  EXPECT_EQ(second_.id, 0);
  EXPECT_EQ(store->Query({}), std::vector<Record>{first_}) << "readers do not wait for a writer";
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  store->Append(second_);
  EXPECT_EQ(store->Query({}), (std::vector<Record>{second_, first_}));
}

// A station in the middle of a write on a file not yet in its write-ahead log (another station
// making the history) makes SQLite refuse the switch at once, without its busy timeout: the
// station making the history beside it waits for it instead of failing.
TEST_F(SqliteHistoryTest, AStationMeetingAnotherMakingTheHistoryWaitsForIt) {
  std::filesystem::create_directories(std::filesystem::u8path(engine_.Location()).parent_path());
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(engine_.Location().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread finishing([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  try {
    OpenHistory(engine_.Location())->Append(first_);
  } catch (const HistoryError& error) {
    ADD_FAILURE() << error.what();
  }
  finishing.join();
  sqlite3_close(other);
  EXPECT_EQ(OpenHistory(engine_.Location())->Query({}), std::vector<Record>{first_});
}

#ifdef _WIN32
// Windows keeps no owner's override: the read-only attribute holds for every user.
TEST_F(SqliteHistoryTest, AReadOnlyFileIsAClearErrorAndLosesNothing) {
  namespace fs = std::filesystem;
  OpenHistory(engine_.Location())->Append(first_);
  const fs::path file = fs::u8path(engine_.Location());
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);
  if (std::FILE* writable = ::_wfopen(file.c_str(), L"r+")) {
    std::fclose(writable);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    GTEST_SKIP() << "this system writes a read-only file regardless (Wine run as root)";
  }
  try {
    OpenHistory(engine_.Location())->Append(second_);
    ADD_FAILURE() << "appended to a read-only file";
  } catch (const HistoryError& error) {
    EXPECT_EQ(std::string(error.what()),
              "history " + engine_.Location() + ": the file is read-only");
  }
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(OpenHistory(engine_.Location())->Query({}), std::vector<Record>{first_});
}
#else
TEST_F(SqliteHistoryTest, AReadOnlyFileIsAClearErrorAndLosesNothing) {
  OpenHistory(engine_.Location())->Append(first_);
  ASSERT_EQ(::chmod(engine_.Location().c_str(), 0444), 0);

  // As root the file could be written regardless: the station runs as an ordinary user.
  const std::string location = engine_.Location();
  EXPECT_TRUE(test::RunUnprivileged(engine_.dir.Path().string(), [&] {
    try {
      OpenHistory(location)->Append(second_);
    } catch (const HistoryError& error) {
      return std::string(error.what()) == "history " + location + ": the file is read-only";
    }
    return false;
  }));

  ASSERT_EQ(::chmod(engine_.Location().c_str(), 0644), 0);
  EXPECT_EQ(OpenHistory(engine_.Location())->Query({}), std::vector<Record>{first_});
}

// A disk that fills up while a record is written: the operating system's file-size limit stands
// in for it, in a station of its own. A record far larger than the limit cannot fit.
TEST_F(SqliteHistoryTest, AFullDiskIsAClearErrorAndLosesNothing) {
  OpenHistory(engine_.Location())->Append(first_);
  second_.outcome = std::string(256 * 1024, 'x');
  const std::string location = engine_.Location();
  EXPECT_TRUE(InStations(1, [&](int) {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the station
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      OpenHistory(location)->Append(second_);
    } catch (const HistoryError& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return std::string(error.what()) ==
             "history " + location + ": the disk refused the write (full, or failing)";
    }
    return false;
  }));
  EXPECT_EQ(OpenHistory(engine_.Location())->Query({}), std::vector<Record>{first_});
}

// What is not a file is refused before SQLite opens it, whether a station records or lists: SQLite
// would take a device for an empty database and write its journal beside it (in /dev), and read a
// pipe for ever.
TEST_F(SqliteHistoryTest, WhatIsNotAFileIsRefusedAndNothingIsWrittenBesideIt) {
  const std::string folder = engine_.dir.File("a-folder");
  const std::string pipe = engine_.dir.File("a-pipe");
  const std::string device = engine_.dir.File("a-device");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  // The null device made here, or where that is not allowed a link to it (SQLite follows the link,
  // so the journal's place is checked at /dev/null too).
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    ASSERT_EQ(::symlink("/dev/null", device.c_str()), 0);
  }
  const struct {
    std::string path;
    const char* what;
  } cases[] = {{folder, "a folder"}, {pipe, "a pipe"}, {device, "a device"}};
  for (const auto& row : cases) {
    for (const OpenFor use : {OpenFor::Recording, OpenFor::Listing}) {
      SCOPED_TRACE(row.path + (use == OpenFor::Recording ? " to record" : " to list"));
      try {
        OpenHistory(row.path, use)->Append(first_);
        ADD_FAILURE() << "opened";
      } catch (const HistoryError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "history " + row.path + ": " + row.what + ", not a history file");
      }
      for (const std::string& beside : {row.path, std::string("/dev/null")}) {
        for (const char* suffix : {"-journal", "-wal", "-shm"})
          EXPECT_NE(::access((beside + suffix).c_str(), F_OK), 0) << beside << suffix;
      }
    }
  }
}

#endif

}  // namespace
}  // namespace velluma::history
