#pragma once

#include <optional>
#include <string>

namespace velluma {

// A word left per port in the station's state folder while the monitor on that port runs at a
// line speed other than 9600: a LUT transfer notes the speed before it switches and removes the
// note once the monitor is back, so that a run killed in between (SIGKILL, power loss) tells the
// next run on that port which speed to send its way back from. Notes are kept per device (the
// port name's target), best effort: a note that cannot be written changes no transfer.
class PortSpeedNote {
 public:
  // The note of the device behind `portPath`, in `folder` (by default the station's state folder).
  explicit PortSpeedNote(const std::string& portPath, const std::string& folder = "");

  void Write(int speed) const;
  // The noted speed; nothing when there is no note, or none that names a speed.
  std::optional<int> Read() const;
  void Remove() const;

  const std::string& File() const { return file_; }

 private:
  std::string folder_;
  std::string file_;
};

}  // namespace velluma
