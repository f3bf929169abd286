#include "tests/cli/CliProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#ifndef VELLUMA_CLI_PATH
#error "VELLUMA_CLI_PATH must name the velluma-cli executable"
#endif

extern char** environ;

namespace velluma::test {

namespace {

constexpr auto kPatience = std::chrono::seconds(60);

// This process's environment with `given` replacing or adding entries. The run history is off
// and the state folder private unless a test names them, so no test writes into the user's own.
std::vector<std::string> ChildEnvironment(const std::map<std::string, std::string>& given,
                                          const std::string& stateFolder) {
  std::map<std::string, std::string> changes = given;
  changes.try_emplace("VELLUMA_HISTORY", "none");
  changes.try_emplace("XDG_STATE_HOME", stateFolder);
  std::vector<std::string> entries;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    if (!changes.contains(text.substr(0, text.find('=')))) entries.push_back(text);
  }
  for (const auto& [name, value] : changes) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment) {
  std::vector<std::string> argv = {VELLUMA_CLI_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envp = ChildEnvironment(environment, StateFolder());
  std::vector<char*> argvPointers = Pointers(argv);
  std::vector<char*> envpPointers = Pointers(envp);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, dir_.File("out").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, dir_.File("err").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int failed = ::posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, argvPointers.data(),
                                   envpPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start velluma-cli: " + std::string(std::strerror(failed)));
  }
}

CliProcess::~CliProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
}

void CliProcess::Signal(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

CliResult CliProcess::Wait() {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir_.Read("out"), dir_.Read("err"),
          WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

CliResult RunCli(const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment) {
  return CliProcess(arguments, environment).Wait();
}

}  // namespace velluma::test
