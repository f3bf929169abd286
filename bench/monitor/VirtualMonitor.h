#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "bench/loop/FaultScript.h"
#include "bench/loop/LoopClient.h"
#include "bench/monitor/MonitorCommands.h"
#include "bench/monitor/MonitorState.h"
#include "bench/wire/FrameReceiver.h"
#include "bench/wire/LinePacer.h"
#include "bench/wire/PtyPort.h"

namespace velluma::bench {

struct VirtualMonitorOptions {
  // How long after a frame's ETX the monitor answers.
  std::chrono::milliseconds replyDelay{20};
  // Move bytes at the line speed the program has set instead of at once.
  bool lineRate = false;
  // The id byte every frame must carry after STX; without one, a non-printable first byte is
  // taken as an id byte and skipped, so frames of both link kinds work.
  std::optional<uint8_t> address;
};

// The QX-7MR520 on its serial line: receives frames on a pty, refuses those sent at a speed it
// does not expect, interprets commands into the shared monitor state, lets the fault script
// change replies, and answers each frame after the reply delay.
class VirtualMonitor : public LoopClient {
 public:
  VirtualMonitor(std::filesystem::path linkPath, MonitorState& state, FaultScript& faults,
                 VirtualMonitorOptions options);

  const PtyPort& Port() const { return port_; }

  void CollectInterests(TimePoint now, std::vector<PollInterest>& interests) override;
  std::optional<TimePoint> NextDeadline(TimePoint now) const override;
  void OnEvents(int fd, short revents, TimePoint now) override;
  void OnTick(TimePoint now) override;

 private:
  struct PendingReply {
    TimePoint due;
    std::string bytes;
  };

  int Speed() const;
  void ReadLine(TimePoint now);
  void HandleFrame(std::string_view frame, TimePoint now);
  std::optional<std::string_view> CommandText(std::string_view frame) const;
  void Answer(std::string_view command, TimePoint now);
  void ReleaseDueReplies(TimePoint now);
  void WriteLine(TimePoint now);

  PtyPort port_;
  MonitorState& state_;
  FaultScript& faults_;
  VirtualMonitorOptions options_;
  MonitorCommands commands_;
  FrameReceiver receiver_;
  LinePacer receivePacer_;
  LinePacer sendPacer_;
  std::deque<PendingReply> pending_;
  std::string outgoing_;
};

}  // namespace velluma::bench
