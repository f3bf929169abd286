#pragma once

#include <chrono>
#include <mutex>
#include <vector>

namespace velluma {

// Every protocol pause and every time-out of the program goes through one clock, so that tests
// can run the protocols in virtual time (pauses recorded, none slept) or scaled time (a silent
// monitor costs a fraction of its nominal 10 s).
class Clock {
 public:
  virtual ~Clock() = default;

  // A protocol pause of `ms` nominal milliseconds (the monitor's and instruments' settle times).
  virtual void Pause(int ms) = 0;

  // How long, in real milliseconds, an I/O wait of `nominalMs` may actually last.
  virtual int WaitBudget(int nominalMs) = 0;

  // Told when an I/O wait of `nominalMs` ran out without its data.
  virtual void TimedOut(int nominalMs) { (void)nominalMs; }
};

// Wall-clock time: pauses sleep, time-outs last their nominal length.
class RealClock : public Clock {
 public:
  void Pause(int ms) override;
  int WaitBudget(int nominalMs) override { return nominalMs; }
};

// Pauses take `factor` times their nominal length (factor 0.01: 1500 ms become 15 ms). I/O waits
// are scaled too, but never below kMinWaitMs (or their nominal length when that is shorter): the
// device on the other end answers in real time, and on a busy machine its answer may take a
// while to arrive, so only the silence of a device that does not answer is shortened.
class ScaledClock : public Clock {
 public:
  static constexpr int kMinWaitMs = 2000;

  explicit ScaledClock(double factor) : factor_(factor) {}
  void Pause(int ms) override;
  int WaitBudget(int nominalMs) override;

 private:
  double factor_;
};

// Pauses return at once and are recorded with every time-out, so a test can assert the protocol's
// timing ("300 ms after each chunk") without waiting. I/O waits still last a real time, since the
// device on the other side of the port answers in real time: `ioFactor` times the nominal wait,
// at least `ioFloorMs`. The defaults leave a reply two seconds or more to arrive, so a test's
// verdict does not depend on how busy the machine is; a silent device costs that much.
class VirtualClock : public Clock {
 public:
  enum class Kind { Pause, Timeout };
  struct Event {
    Kind kind;
    int ms;
    bool operator==(const Event&) const = default;
  };

  explicit VirtualClock(double ioFactor = 0.1, int ioFloorMs = 2000)
      : ioFactor_(ioFactor), ioFloorMs_(ioFloorMs) {}

  void Pause(int ms) override;
  int WaitBudget(int nominalMs) override;
  void TimedOut(int nominalMs) override;

  std::vector<Event> Events() const;
  std::vector<int> Pauses() const;  // the pauses alone, in order
  long long ElapsedMs() const;      // virtual time: every pause and time-out added up
  void Reset();

 private:
  double ioFactor_;
  int ioFloorMs_;
  mutable std::mutex mutex_;
  std::vector<Event> events_;
};

}  // namespace velluma
