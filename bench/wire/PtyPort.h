#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "bench/loop/UniqueFd.h"

namespace velluma::bench {

// The device end of a virtual serial line: a pty whose slave device the program opens through
// a link in the ports directory (for example ports/COM1). The bench keeps the slave open
// itself, so the master never sees a hang-up while no program has the port open.
class PtyPort {
 public:
  // Opens the pty, sets the line raw at 9600 bit/s and points `linkPath` at the slave device,
  // replacing whatever was there. Throws std::system_error on failure.
  explicit PtyPort(std::filesystem::path linkPath);
  // Removes the link if it still points at this port.
  ~PtyPort();

  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  int Fd() const { return master_.Get(); }
  const std::string& DevicePath() const { return device_; }
  // The line speed (bit/s) the program has set on its side; 0 when it is not a known speed.
  // A pty has one set of line settings, which the master reads as well.
  int LineSpeed() const;

  // Non-blocking; -1 with errno EAGAIN when nothing can move.
  ssize_t Read(char* buffer, size_t size);
  ssize_t Write(const char* data, size_t size);

 private:
  void MakeRaw();
  void Link();

  UniqueFd master_;
  UniqueFd slave_;
  std::string device_;
  std::filesystem::path link_;
};

}  // namespace velluma::bench
