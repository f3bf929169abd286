#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/types.h>
#endif

// Runs one velluma-bench for a test: the bench started on ports of its own and ready, its control
// at hand, and everything gone again afterwards. Free of any test framework, so every integration
// test can use it.
//
// On Linux the bench is the test's child, on a fresh ports directory, and its control is its Unix
// socket. Under Wine (BenchProcessWin32.cpp) the bench, a Linux program, is the pty relay's child
// (tests/windows/PtyRelay.cpp, at $VELLUMA_PTY_RELAY): its monitor and PR-655 are COM ports of the
// prefix, and its control is reached over loopback TCP.
class BenchProcess {
 public:
  // Starts the bench with `extraArgs` (after "--ports DIR" on Linux) and waits up to 10 s for its
  // "ready". Throws std::runtime_error carrying the bench's stderr when it does not come up.
  explicit BenchProcess(std::vector<std::string> extraArgs = {});
  // Ends the bench ("quit", then SIGTERM, then SIGKILL if it lingers) and removes its ports.
  ~BenchProcess();

  BenchProcess(const BenchProcess&) = delete;
  BenchProcess& operator=(const BenchProcess&) = delete;

#ifdef _WIN32
  // The bench's TCP control, "HOST:PORT", as the Windows stand-ins reach it ($VELLUMA_BENCH_TCP).
  // A Windows test has no PortsDir() or SocketPath(): the ports directory and the Unix socket are
  // the relay's, on the Linux side.
  const std::string& ControlAddress() const { return controlAddress_; }
#else
  const std::string& PortsDir() const { return portsDir_; }
  // The control socket: PortsDir()/bench.sock.
  std::string SocketPath() const;
#endif
  // The monitor's port: PortsDir()/COM1 on Linux, a COM port's name ("COM11") under Wine.
  std::string MonitorDevice() const;
  // The PR-655's port: PortsDir()/COM2 on Linux, a COM port's name under Wine.
  std::string Pr655Device() const;

  // Sends the monitor one plain frame (STX body ETX) over its port and returns its reply through
  // ETX, empty when none comes within 2 s. Throws std::runtime_error when the port cannot be used.
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
  // Selects user memory `memory` ("USER1", or "none") on the monitor's front panel, as the
  // operator does when a correction asks: the panel then shows the patches through that memory's
  // tables. Throws std::runtime_error when the bench refuses it.
  void SelectMemory(const std::string& memory);

  // Sends SIGTERM and waits; returns the exit status as waitpid reports it.
  int Terminate();
  // Waits up to 10 s for the bench to end by itself (after "quit"); returns the status.
  int WaitForExit();

 private:
  // Whether `text` holds a whole answer: its lines, then a line of one ".".
  static bool EndsAnswer(const std::string& text);
  // The lines of a whole answer to `request` before its "."; throws when `answer` is not whole.
  static std::vector<std::string> AnswerLines(const std::string& answer,
                                              const std::string& request);

#ifdef _WIN32
  // One line from the relay, within 10 s; throws when none comes.
  std::string RelayLine();
  int ExitStatus(const std::string& command);

  std::uintptr_t relay_;  // the connection to the relay, which holds the bench while it is open
  bool running_ = true;
  std::string monitorPort_;
  std::string pr655Port_;
  std::string controlAddress_;
#else
  void Start(const std::vector<std::string>& extraArgs);
  void WaitForReady(int readFd);
  std::string StderrText() const;
  void Kill();

  std::string tempDir_;
  std::string portsDir_;
  pid_t pid_ = -1;
#endif
};
