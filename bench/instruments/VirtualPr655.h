#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "bench/instruments/DeviceRecord.h"
#include "bench/instruments/DisplayModel.h"
#include "bench/instruments/Pr655CommandReader.h"
#include "bench/loop/FaultScript.h"
#include "bench/loop/LoopClient.h"
#include "bench/monitor/MonitorState.h"
#include "bench/wire/PtyPort.h"

namespace velluma::bench {

struct VirtualPr655Options {
  // How long after a set-up command or an unknown one the instrument answers.
  std::chrono::milliseconds replyDelay{20};
  // How long after "PHOTO" it announces remote mode.
  std::chrono::milliseconds remoteDelay{20};
  // How long "M1" takes before its reply line.
  std::chrono::milliseconds measureTime{100};
  // "PHOTO" enters remote mode without its answer, as if the program's purge after its settling
  // wait had taken it: every reply is then read by the command that asked for it, so a program
  // in virtual time (no settling wait) cannot find an answer a step late on a busy machine.
  bool quietWake = false;
};

// The PR-655 on its serial line (a pty linked as COM2). Commands end with CR. "PHOTO" wakes it
// into remote mode and is answered with " REMOTE MODE", no line end; in remote mode SE0, SK60,
// SS3 and SU1 answer "0000" CR LF, C and Q (which leaves remote mode) answer nothing, M1
// measures the patch the virtual monitor shows and answers "0000,111,Y,x,y" CR LF, and any
// other command answers "-1000" CR LF. In local mode it answers nothing but PHOTO. Fault rules
// "pr655:PREFIX silent" and "pr655:PREFIX reply TEXT" (TEXT CR LF) replace a reply, and the
// faulted command has no other effect.
class VirtualPr655 : public LoopClient {
 public:
  VirtualPr655(std::filesystem::path linkPath, const MonitorState& monitor, DisplayModel& display,
               FaultScript& faults, DeviceRecord& record, VirtualPr655Options options);

  void CollectInterests(TimePoint now, std::vector<PollInterest>& interests) override;
  std::optional<TimePoint> NextDeadline(TimePoint now) const override;
  void OnEvents(int fd, short revents, TimePoint now) override;
  void OnTick(TimePoint now) override;

 private:
  // What a command does when no fault stands in the way.
  struct Outcome {
    std::optional<std::string> reply;
    std::chrono::milliseconds delay{0};
    std::function<void()> effect;
  };
  struct PendingReply {
    TimePoint due;
    std::string bytes;
  };

  void ReadLine(TimePoint now);
  void Handle(const Pr655Command& command, TimePoint now);
  Outcome Interpret(const std::string& command);
  Outcome MeasureOutcome();
  void SetRemote(bool remote);
  void ReleaseDueReplies(TimePoint now);
  void WriteLine();

  PtyPort port_;
  const MonitorState& monitor_;
  DisplayModel& display_;
  FaultScript& faults_;
  DeviceRecord& record_;
  VirtualPr655Options options_;
  Pr655CommandReader reader_;
  bool remote_ = false;
  std::deque<PendingReply> pending_;
  std::string outgoing_;
};

}  // namespace velluma::bench
