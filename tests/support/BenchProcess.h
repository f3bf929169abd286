#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

// Runs one velluma-bench for a test: a fresh ports directory, the bench started on it and
// ready, its control socket at hand, and everything gone again afterwards. Free of any test
// framework, so every integration test can use it.
class BenchProcess {
 public:
  // Makes a fresh temporary ports directory, starts the bench (VELLUMA_BENCH_PATH) with
  // `extraArgs` after "--ports DIR" and waits up to 10 s for its "ready". Throws
  // std::runtime_error carrying the bench's stderr when it does not come up.
  explicit BenchProcess(std::vector<std::string> extraArgs = {});
  // Ends the bench ("quit", then SIGTERM, then SIGKILL if it lingers) and removes the
  // temporary directory.
  ~BenchProcess();

  BenchProcess(const BenchProcess&) = delete;
  BenchProcess& operator=(const BenchProcess&) = delete;

  const std::string& PortsDir() const { return portsDir_; }
  // The monitor's port: PortsDir()/COM1.
  std::string MonitorDevice() const;
  // The PR-655's port: PortsDir()/COM2.
  std::string Pr655Device() const;
  // The control socket: PortsDir()/bench.sock.
  std::string SocketPath() const;

  // Sends the monitor one plain frame (STX body ETX) over COM1 and returns its reply through
  // ETX, empty when none comes within 2 s. Throws std::runtime_error when COM1 cannot be used.
  std::string MonitorExchange(const std::string& body);
  // Makes the monitor show the patch r, g, b ("OUT" with its digit sum), as the program does.
  void ShowPatch(int r, int g, int b);

  // Sends one control request; returns the answer's lines before the closing ".". Throws
  // std::runtime_error when the bench cannot be reached or does not answer within 10 s.
  std::vector<std::string> Request(const std::string& line);
  // The "state" answer: key to the rest of its line.
  std::map<std::string, std::string> State();
  std::vector<std::string> Log();
  // Adds a fault rule; throws std::runtime_error when the bench refuses it.
  void AddFault(const std::string& rule);
  // Removes all fault rules and empties the log.
  void Clear();

  // Sends SIGTERM and waits; returns the exit status as waitpid reports it.
  int Terminate();
  // Waits up to 10 s for the bench to end by itself (after "quit"); returns the status.
  int WaitForExit();

 private:
  void Start(const std::vector<std::string>& extraArgs);
  void WaitForReady(int readFd);
  std::string StderrText() const;
  void Kill();

  std::string tempDir_;
  std::string portsDir_;
  pid_t pid_ = -1;
};
