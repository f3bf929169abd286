#pragma once

#include <signal.h>
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace velluma::test {

// What a finished velluma-cli run left: its exit status and everything it wrote.
struct CliResult {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
  int signal = 0;  // the signal that ended it, 0 when it exited
};

// Runs the real velluma-cli (VELLUMA_CLI_PATH) as a child process, with this process's
// environment plus `environment` and standard input from /dev/null; its output is kept in files,
// so a large output cannot stall it. It runs while the test goes on, until Wait(). Unless the
// test names them, the run keeps no history and its state folder is a fresh one of its own.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& arguments,
             const std::map<std::string, std::string>& environment);
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // Waits up to 60 s (then kills it) and returns what it left.
  CliResult Wait();
  // Interrupts it as Ctrl+C in its terminal would (SIGINT).
  void Interrupt() { Signal(SIGINT); }
  void Signal(int signal);
  pid_t Pid() const { return pid_; }
  // The state folder the run was given by default.
  std::string StateFolder() const { return dir_.File("state"); }

 private:
  TempDir dir_;
  pid_t pid_ = -1;
};

// Runs velluma-cli to its end.
CliResult RunCli(const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment);

}  // namespace velluma::test
