#include "tests/support/PostgresServer.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#ifndef VELLUMA_POSTGRES_BINDIR
#error "VELLUMA_POSTGRES_BINDIR must name the folder of initdb and pg_ctl"
#endif

namespace velluma::test {

namespace {
constexpr const char* kUser = "velluma";
constexpr const char* kServerAccount = "postgres";  // who runs the server when the test is root

// The tools' output goes to a log in the cluster's folder, read when something fails.
constexpr const char* kLog = "tools.log";

// Hands the folder to the server's account so initdb and the server can write in it.
void HandOver(const std::filesystem::path& folder) {
  const passwd* account = ::getpwnam(kServerAccount);
  if (!account) throw std::runtime_error("PostgresServer: no user \"postgres\" to run the server");
  if (::chown(folder.c_str(), account->pw_uid, account->pw_gid) != 0)
    throw std::runtime_error("PostgresServer: cannot hand " + folder.string() + " over");
}

// Runs `command` with its output in `log` and waits for it; true for exit status 0.
bool RunAndWait(const std::vector<std::string>& command, const std::string& log) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
    if (out >= 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
}  // namespace

PostgresServer::PostgresServer() {
  if (::geteuid() == 0) HandOver(folder_.Path());
  RunTool("initdb", {"-D", folder_.File("data"), "-U", kUser, "--auth=trust", "--no-sync",
                     "--no-instructions", "-E", "UTF8", "--locale=C"});
  Start();
}

PostgresServer::~PostgresServer() {
  if (!running_) return;
  try {
    Kill();
  } catch (const std::exception&) {
    // the folder goes anyway; a server left without it stops on its own
  }
}

std::string PostgresServer::Uri() const {
  return std::string("postgresql://") + kUser +
         ":unused-secret@/postgres?host=" + folder_.Path().string();
}

// fsync is off because only the server's processes are killed here, never the machine: what was
// committed is in the system's cache and survives, as the tests of a killed server need.
void PostgresServer::Start() {
  const std::string options =
      "-k " + folder_.Path().string() + " -c listen_addresses='' -c fsync=off";
  RunTool("pg_ctl", {"-D", folder_.File("data"), "-l", folder_.File("server.log"), "-o", options,
                     "-w", "-t", "60", "start"});
  running_ = true;
}

void PostgresServer::Kill() {
  RunTool("pg_ctl", {"-D", folder_.File("data"), "-m", "immediate", "-w", "stop"});
  running_ = false;
}

void PostgresServer::Execute(const std::string& sql) const {
  const std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(Uri().c_str()),
                                                                &PQfinish);
  if (PQstatus(connection.get()) != CONNECTION_OK)
    throw std::runtime_error("PostgresServer: " + std::string(PQerrorMessage(connection.get())));
  PQsetNoticeProcessor(
      connection.get(), [](void*, const char*) {}, nullptr);
  const std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection.get(), sql.c_str()),
                                                             &PQclear);
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
    throw std::runtime_error("PostgresServer: " + sql + ": " + PQresultErrorMessage(result.get()));
}

void PostgresServer::RunTool(const std::string& tool,
                             const std::vector<std::string>& arguments) const {
  std::vector<std::string> command;
  if (::geteuid() == 0) command = {"/usr/sbin/runuser", "-u", kServerAccount, "--"};
  command.push_back(std::string(VELLUMA_POSTGRES_BINDIR) + "/" + tool);
  command.insert(command.end(), arguments.begin(), arguments.end());
  if (!RunAndWait(command, folder_.File(kLog)))
    throw std::runtime_error("PostgresServer: " + tool + " failed; see " + folder_.File(kLog) +
                             ":\n" + folder_.Read(kLog));
}

}  // namespace velluma::test
