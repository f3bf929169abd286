// The run history through velluma-cli: every procedure that talks to the monitor adds one record
// with its figures (the files' fingerprints checked with sha256sum), `history` prints them, and
// stations writing to one PostgreSQL server at once lose nothing, even when the server dies.
// At the history's edges no password is printed, listing makes nothing and reads what it can
// (a file the user may only read, a file with a damaged page), and any name prints as one line
// of the table and valid JSON (checked with Qt's parser).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "history/OpenHistory.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

namespace velluma {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The value of `"name":"value"` in a JSON line of `history --json` (figures and outcome).
std::string Field(const std::string& line, const std::string& name) {
  const std::string key = "\"" + name + "\":\"";
  const auto at = line.find(key);
  if (at == std::string::npos) return "<none>";
  const auto start = at + key.size();
  return line.substr(start, line.find('"', start) - start);
}

// A figure as a number; NaN (which fails every comparison, with the figure in the message) when
// it is missing or not a number, so that a run that went wrong fails here instead of throwing.
double Number(const std::string& figure) {
  char* end = nullptr;
  const double value = std::strtod(figure.c_str(), &end);
  return figure.empty() || *end != '\0' ? std::nan("") : value;
}

// sha256sum's fingerprint of a file: worked out by another program than the one under test.
std::string Sha256Sum(const std::string& path) {
  FILE* pipe = ::popen(("sha256sum '" + path + "'").c_str(), "r");
  char digest[65] = {};
  const std::size_t read = std::fread(digest, 1, 64, pipe);
  ::pclose(pipe);
  return std::string(digest, read);
}

class VellumaCliHistoryTest : public ::testing::Test {
 protected:
  std::map<std::string, std::string> Environment(const std::string& history) const {
    std::map<std::string, std::string> environment = {
        {"VELLUMA_SETTINGS", dir_.File("Velluma.reg")},
        {"VELLUMA_CLOCK_SCALE", "0.02"},
        {"VELLUMA_HISTORY", history}};
    if (bench_) {
      environment["VELLUMA_PORTS"] = bench_->PortsDir();
      environment["VELLUMA_BENCH_SOCKET"] = bench_->SocketPath();
    }
    return environment;
  }
  // One command; returns its record as `history --json` prints it, and the frames the bench
  // received meanwhile.
  std::pair<std::string, long> Recorded(std::vector<std::string> arguments, int status) {
    const std::size_t before = bench_->Log().size();
    arguments.insert(arguments.end(), {"--analyzer", "PR-655", "--analyzer-port", "COM2"});
    const test::CliResult run = test::RunCli(arguments, Environment(dir_.File("history.db")));
    EXPECT_EQ(run.status, status) << arguments[0] << ": " << run.err;
    const long frames = static_cast<long>(bench_->Log().size() - before);
    const auto lines =
        Lines(test::RunCli({"history", "--json"}, Environment(dir_.File("history.db"))).out);
    EXPECT_EQ(lines.size(), ++records_) << arguments[0] << " adds exactly one record";
    return {lines.empty() ? "" : lines.front(), frames};
  }

  test::TempDir dir_;
  std::unique_ptr<BenchProcess> bench_;
  std::size_t records_ = 0;
};

TEST_F(VellumaCliHistoryTest, EveryProcedureAddsOneRecordWithItsFigures) {
  bench_ = std::make_unique<BenchProcess>(std::vector<std::string>{
      "--reply-delay", "5", "--pr655-measure-ms", "2", "--pr655-quiet-wake"});
  dir_.Write("grade.cube",
             "LUT_3D_SIZE 2\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n0 0 1\n1 0 1\n0 1 1\n1 1 1\n");
  std::string curve = "1\n7\n0\n1\n1\n0\n1\n0\n0\n";
  for (int i = 0; i < 1024; ++i) curve += std::to_string(i) + "\n";
  dir_.Write("curve.csv", curve);

  auto [zero, zeroFrames] = Recorded({"zero-cal"}, 0);
  EXPECT_TRUE(Contains(zero, "\"kind\":\"zero-cal\"")) << zero;
  EXPECT_TRUE(Contains(zero, "\"instrument\":{\"model\":\"PR-655\",\"port\":\"COM2\"}")) << zero;
  EXPECT_EQ(Field(zero, "outcome"), "Complete.");

  auto [autoRun, autoFrames] = Recorded({"auto", "--save", dir_.File("run.txt")}, 0);
  EXPECT_TRUE(Contains(autoRun, "\"kind\":\"auto\"")) << autoRun;
  EXPECT_TRUE(Contains(autoRun, "\"model\":\"QX-7MR520\"")) << autoRun;
  EXPECT_TRUE(Contains(autoRun, "\"result\":0")) << autoRun;
  EXPECT_EQ(Field(autoRun, "rgb_verdict"), "OK");
  EXPECT_NEAR(Number(Field(autoRun, "max_bright")), 260.0, 0.5);
  EXPECT_NEAR(Number(Field(autoRun, "red_x")), 0.64, 0.01);
  EXPECT_EQ(Field(autoRun, "file"), dir_.File("run.txt"));
  EXPECT_EQ(Field(autoRun, "file_sha256"), Sha256Sum(dir_.File("run.txt")));

  auto [verify, verifyFrames] = Recorded({"verify", "--report", dir_.File("r.html")}, 0);
  EXPECT_TRUE(Contains(verify, "\"kind\":\"verify\"")) << verify;
  EXPECT_EQ(Field(verify, "report"), dir_.File("r.html"));
  EXPECT_EQ(Field(verify, "patches"), "27 of 27");
  EXPECT_LT(Number(Field(verify, "grey_de_average")), 1.0);
  EXPECT_EQ(Field(verify, "outcome").rfind("Verification passed: ", 0), 0u);

  const struct {
    std::vector<std::string> arguments;
    const char* kind;
    const char* file;
    const char* memory;
  } transfers[] = {
      {{"send-calibration", dir_.File("run.txt")}, "send-calibration", "run.txt", "<none>"},
      {{"send-lut", dir_.File("grade.cube"), "--memory", "USER2", "--format", "davinci"},
       "send-lut",
       "grade.cube",
       "USER2"},
      {{"send-film-gamma", dir_.File("curve.csv"), "--memory", "USER3"},
       "send-film-gamma",
       "curve.csv",
       "USER3"},
  };
  for (const auto& transfer : transfers) {
    auto [record, frames] = Recorded(transfer.arguments, 0);
    EXPECT_TRUE(Contains(record, std::string("\"kind\":\"") + transfer.kind + "\"")) << record;
    EXPECT_EQ(Field(record, "memory"), transfer.memory);
    EXPECT_EQ(Field(record, "file"), dir_.File(transfer.file));
    EXPECT_EQ(Field(record, "file_sha256"), Sha256Sum(dir_.File(transfer.file)));
    EXPECT_EQ(Field(record, "frames"), std::to_string(frames)) << transfer.kind;
    EXPECT_EQ(Field(record, "outcome"), "Complete.");
  }

  const auto table =
      Lines(test::RunCli({"history", "--kind", "auto"}, Environment(dir_.File("history.db"))).out);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_TRUE(Contains(table[1], " auto ") && Contains(table[1], "[MaxBright 26")) << table[1];
  const auto future = test::RunCli({"history", "--since", "2999-01-01", "--json"},
                                   Environment(dir_.File("history.db")));
  EXPECT_EQ(future.status, 0);
  EXPECT_EQ(future.out, "");
}

TEST_F(VellumaCliHistoryTest, AHistoryThatCannotBeWrittenChangesNothingButSaysSo) {
  dir_.Write("history.db", "this is not a database, and it is long enough to be read as one");
  const test::CliResult run =
      test::RunCli({"zero-cal", "--analyzer", "NoConnect", "--monitor-port", dir_.File("none")},
                   Environment(dir_.File("history.db")));
  EXPECT_EQ(run.status, 2) << "the same status as without a history";
  EXPECT_TRUE(Contains(run.err, "0-Cal.: Analyzer: Error\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, "history " + dir_.File("history.db") + ": ")) << run.err;
  EXPECT_TRUE(Contains(run.err, "this run is not in the history\n")) << run.err;
  EXPECT_EQ(dir_.Read("history.db"),
            "this is not a database, and it is long enough to be read as one");
}

// Two stations record 200 runs each on one server at the same time, then again while the server
// is killed halfway: every run that did not say its record was lost is there after a restart.
TEST_F(VellumaCliHistoryTest, StationsSharingAServerLoseNothingEvenWhenItDies) {
  test::PostgresServer server;
  const auto station = [&](int runs, std::atomic<int>& done, std::atomic<int>& lost) {
    for (int i = 0; i < runs; ++i) {
      const test::CliResult run =
          test::RunCli({"zero-cal", "--analyzer", "NoConnect", "--monitor-port", dir_.File("none")},
                       Environment(server.Uri()));
      if (Contains(run.err, "this run is not in the history")) ++lost;
      ++done;
    }
  };
  const auto count = [&] {
    const auto lines = Lines(test::RunCli({"history", "--json"}, Environment(server.Uri())).out);
    return static_cast<int>(lines.size());
  };

  // Each run is a whole velluma-cli process (a quarter of a second with the sanitizers): enough
  // runs that the two stations' transactions interleave, few enough for a busy machine.
  constexpr int kRuns = 40, kRunsAroundTheKill = 25;
  std::atomic<int> done = 0, lost = 0;
  {
    std::jthread first(station, kRuns, std::ref(done), std::ref(lost));
    std::jthread second(station, kRuns, std::ref(done), std::ref(lost));
  }
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(count(), 2 * kRuns);

  done = 0;
  {
    std::jthread first(station, kRunsAroundTheKill, std::ref(done), std::ref(lost));
    std::jthread second(station, kRunsAroundTheKill, std::ref(done), std::ref(lost));
    while (done < kRunsAroundTheKill) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server.Kill();
  }
  EXPECT_GT(lost, 0) << "the runs after the kill said their record was lost";
  const test::CliResult down = test::RunCli({"history"}, Environment(server.Uri()));
  EXPECT_EQ(down.status, 2);
  EXPECT_TRUE(Contains(down.err, "history postgresql://")) << down.err;
  server.Start();
  // A run whose commit reached the server but whose acknowledgement died with it counts itself
  // lost: at most one such run per station.
  const int kept = 2 * kRuns + 2 * kRunsAroundTheKill - lost;
  EXPECT_GE(count(), kept);
  EXPECT_LE(count(), kept + 2);
}

// ---- The history's edges ----

history::Record MakeRun(const std::string& host, const std::string& name) {
  history::Record record;
  record.timeUtc = "2026-12-09T17:05:53Z";
  record.host = host;
  record.user = "op";
  record.kind = history::Kind::SendLut;
  record.monitorModel = "QX-7MR520";
  record.monitorPort = name;
  record.instrument = "CA-310";
  record.outcome = "Complete.";
  record.figures = {{"file", name}};
  return record;
}

void Keep(const std::string& location, std::vector<history::Record> records) {
  const auto store = history::OpenHistory(location);
  for (history::Record& record : records) store->Append(record);
}

std::set<std::string> FilesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// Each password holds "Xyzzy"; libpq's messages quote it, or the whole location, as written.
TEST_F(VellumaCliHistoryTest, APasswordInTheLocationIsNeverPrinted) {
  for (const char* location :
       {"postgresql://op:Xyzzy%ZZ@db/velluma", "postgres://op:Xyzzy@[::1]x/velluma",
        "postgresql://op:Xyzzy/x@db/velluma", "postgresql://db/velluma?password=Xyzzy%ZZ"}) {
    SCOPED_TRACE(location);
    const test::CliResult listing = test::RunCli({"history"}, Environment(location));
    const test::CliResult run =
        test::RunCli({"zero-cal", "--analyzer", "NoConnect", "--monitor-port", dir_.File("none")},
                     Environment(location));
    EXPECT_EQ(listing.status, 2);
    EXPECT_TRUE(Contains(listing.err, "history postgres")) << listing.err;
    EXPECT_TRUE(Contains(run.err, "; this run is not in the history\n")) << run.err;
    for (const std::string& text : {listing.out, listing.err, run.out, run.err})
      EXPECT_FALSE(Contains(text, "Xyzzy")) << text;
  }
}

TEST_F(VellumaCliHistoryTest, ListingAHistoryThatIsNotThereMakesNothing) {
  const std::string location = dir_.File("Quillem/Velluma/history.db");
  const test::CliResult table = test::RunCli({"history"}, Environment(location));
  EXPECT_EQ(table.status, 0) << table.err;
  EXPECT_EQ(Lines(table.out).size(), 1u) << table.out;
  EXPECT_EQ(table.out.rfind("time (UTC) ", 0), 0u) << table.out;
  const test::CliResult json = test::RunCli({"history", "--json"}, Environment(location));
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out + table.err + json.err, "");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Quillem")));
}

// The user is not root (root may write any file): a history he may only read is listed, and the
// listing leaves nothing beside it, where a reader's index (-shm) would stop the next station.
TEST_F(VellumaCliHistoryTest, AHistoryTheUserMayOnlyReadIsListed) {
  const struct {
    const char* why;
    mode_t folderMode;
    bool stationHasItOpen;  // with a run it has not yet moved from its log (-wal) into the file
  } cases[] = {
      {"in a folder he may write in", 0755, false},
      {"in a folder he may only read", 0555, false},
      {"while a station has it open", 0555, true},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.why);
    test::TempDir folder;
    const std::string location = folder.File("history.db");
    Keep(location, {MakeRun("first", "COM1")});
    std::unique_ptr<history::HistoryStore> station;
    if (row.stationHasItOpen) {
      station = history::OpenHistory(location);
      history::Record second = MakeRun("second", "COM1");
      station->Append(second);
    }
    ASSERT_EQ(::chmod(location.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.Path().c_str(), row.folderMode), 0);
    const std::set<std::string> before = FilesIn(folder.Path());
    const std::size_t expected = row.stationHasItOpen ? 2 : 1;
    EXPECT_TRUE(test::RunUnprivileged(folder.Path().string(), [&] {
      const test::CliResult listing = test::RunCli({"history", "--json"}, Environment(location));
      const bool listed = listing.status == 0 && Lines(listing.out).size() == expected;
      if (!listed)
        std::fprintf(stderr, "%d %s%s", listing.status, listing.out.c_str(), listing.err.c_str());
      return listed;
    }));
    EXPECT_EQ(FilesIn(folder.Path()), before);
    ::chmod(folder.Path().c_str(), 0755);
  }
}

// A page in the middle of the runs' table is overwritten: the runs on it are lost, every other
// one is listed with its figures, and one line says that the file is damaged.
TEST_F(VellumaCliHistoryTest, ADamagedPageHidesOnlyTheRunsOnIt) {
  constexpr int kRuns = 600;
  const auto host = [](int n) { return "run-" + std::to_string(10000 + n); };
  std::vector<history::Record> runs;
  for (int n = 0; n < kRuns; ++n) runs.push_back(MakeRun(host(n), "COM1"));
  const std::string location = dir_.File("history.db");
  Keep(location, runs);

  std::string bytes = dir_.Read("history.db");
  const std::size_t pageSize = 256 * static_cast<unsigned char>(bytes.at(16)) +
                               static_cast<unsigned char>(bytes.at(17));  // the header's own
  const std::size_t middle = bytes.find(host(kRuns / 2));
  ASSERT_NE(middle, std::string::npos);
  bytes.replace(middle / pageSize * pageSize, pageSize, std::string(pageSize, '\xA5'));
  dir_.Write("history.db", bytes);

  const test::CliResult json = test::RunCli({"history", "--json"}, Environment(location));
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.err, "history " + location + ": the file is damaged; some runs cannot be read\n");
  const std::vector<std::string> lines = Lines(json.out);
  EXPECT_LT(lines.size(), static_cast<std::size_t>(kRuns));
  EXPECT_GT(lines.size(), static_cast<std::size_t>(kRuns - 50)) << "a page holds a few dozen";
  std::set<std::string> listed;
  for (const std::string& line : lines) {
    listed.insert(Field(line, "host"));
    EXPECT_EQ(Field(line, "file"), "COM1") << line;
  }
  EXPECT_EQ(listed.count(host(kRuns / 2)), 0u);
  EXPECT_EQ(listed.count(host(0)) + listed.count(host(kRuns - 1)), 2u);

  const test::CliResult table = test::RunCli({"history"}, Environment(location));
  EXPECT_EQ(table.status, 1);
  EXPECT_EQ(Lines(table.out).size(), lines.size() + 1);
  EXPECT_EQ(table.err, json.err);
}

bool IsUtf8(const std::string& text) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString decoded = decoder(QByteArray::fromStdString(text));
  return !decoder.hasError();
}

TEST_F(VellumaCliHistoryTest, EveryRunIsOneLineAndValidJsonWhateverItsNamesHold) {
  const struct {
    const char* why;
    std::string name;
    std::string inTable;
    std::string inJson;
  } cases[] = {
      {"a line break", "a\nb", "a?b", "a\\nb"},
      {"a tab", "a\tb", "a?b", "a\\tb"},
      {"an escape sequence", "\x1b[2Jx", "?[2Jx", "\\u001b[2Jx"},
      {"a C1 control", "a\xC2\x9B[b", "a?[b", "a\xC2\x9B[b"},
      {"Latin-1, not UTF-8", "caf\xE9 \xFF", "caf? ?", "caf\\ufffd \\ufffd"},
      {"a cut sequence", "x\xE2\x82", "x??", "x\\ufffd\\ufffd"},
      {"an encoded surrogate", "\xED\xA0\x80", "???", "\\ufffd\\ufffd\\ufffd"},
      {"an overlong slash", "\xC0\xAF", "??", "\\ufffd\\ufffd"},
      {"UTF-8 as it is", "ΔE café 😀", "ΔE café 😀", "ΔE café 😀"},
  };
  std::vector<history::Record> runs;
  for (const auto& row : cases) runs.push_back(MakeRun(row.why, row.name));
  const std::string location = dir_.File("history.db");
  Keep(location, runs);

  const test::CliResult table = test::RunCli({"history"}, Environment(location));
  const test::CliResult json = test::RunCli({"history", "--json"}, Environment(location));
  ASSERT_EQ(table.status + json.status, 0) << table.err << json.err;
  const std::vector<std::string> rows = Lines(table.out);
  const std::vector<std::string> objects = Lines(json.out);
  ASSERT_EQ(rows.size(), std::size(cases) + 1);
  ASSERT_EQ(objects.size(), std::size(cases));
  EXPECT_TRUE(IsUtf8(table.out));
  // Newest first, and all of one second: the last kept comes first.
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& row = cases[std::size(cases) - 1 - i];
    SCOPED_TRACE(row.why);
    EXPECT_TRUE(Contains(rows[i + 1], "QX-7MR520 " + row.inTable)) << rows[i + 1];
    EXPECT_TRUE(Contains(rows[i + 1], "[" + row.inTable + "]")) << rows[i + 1];
    EXPECT_TRUE(std::none_of(rows[i + 1].begin(), rows[i + 1].end(),
                             [](unsigned char c) { return c < 0x20 || c == 0x7F; }));
    EXPECT_TRUE(Contains(objects[i], "\"port\":\"" + row.inJson + "\"")) << objects[i];
    QJsonParseError error{};
    QJsonDocument::fromJson(QByteArray::fromStdString(objects[i]), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  }
}

TEST_F(VellumaCliHistoryTest, SinceTakesOnlyDaysTheCalendarHas) {
  const std::pair<const char*, int> cases[] = {
      {"2026-02-30", 2}, {"2025-02-29", 2},           {"2026-04-31", 2},
      {"1900-02-29", 2}, {"2026-02-29T00:00:00Z", 2}, {"2024-02-29", 0},
      {"2000-02-29", 0}, {"2026-04-30", 0},           {"2026-12-31T23:59:59Z", 0},
  };
  for (const auto& [date, status] : cases) {
    const test::CliResult run =
        test::RunCli({"history", "--since", date}, Environment(dir_.File("history.db")));
    EXPECT_EQ(run.status, status) << date << ": " << run.err;
    EXPECT_EQ(Contains(run.err, "a date is YYYY-MM-DD"), status == 2) << run.err;
  }
}

}  // namespace
}  // namespace velluma
