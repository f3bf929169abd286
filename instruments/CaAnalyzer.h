#pragma once

#include <memory>
#include <string>

#include "instruments/MessageBoxFunction.h"
#include "platform/CaServer.h"

namespace velluma {

// The CA-210 (kind 1) / CA-310 (kind 2) driver, through the CA-SDK server: instrument 1 and its
// probe 1 are configured once at construction; then remote mode, zero calibration and
// measurement. Results are 0 or the low 16 bits of the server's refusal.
class CaAnalyzer {
 public:
  // Configures the process-wide server (connected by the first construction; CaServerUnavailable
  // when it cannot be had). `port` "USB" is port number 0, otherwise its fourth character's digit.
  CaAnalyzer(int kind, const std::string& port, int speed, MessageBoxFunction messageBox,
             CaServer& server = CaServer::Process());
  ~CaAnalyzer();
  CaAnalyzer(const CaAnalyzer&) = delete;
  CaAnalyzer& operator=(const CaAnalyzer&) = delete;

  int BeginRemote();
  int EndRemote();
  int ZeroCalibrate();
  // x, y, Y of probe 1 after a measurement; a value the server cannot deliver is NaN.
  int Measure(double& x, double& y, double& Y);
  static std::string ErrorText(int code);
  // -1 while the last construction found no instrument, else 0.
  static int SetupStatus();
  // The box this driver's set-up showed when it found no instrument; "" when it was set up, or
  // failed without a box.
  const std::string& SetUpFailure() const { return setUpFailure_; }

  int Kind() const { return kind_; }
  static int PortNumber(const std::string& port);

 private:
  struct Release {
    void operator()(ca200::IServerObject* object) const { object->Release(); }
  };
  template <typename T>
  using Ref = std::unique_ptr<T, Release>;

  bool SetUp(ca200::ICa200& server, const std::string& port, int speed);
  // An accessor's result: a failure is shown once with the "Not Connect!" box.
  bool Accessed(std::int32_t result);
  static int ResultCode(std::int32_t result);

  // Remote-mode setter and the commands of ICa, and the set-up values, by entry number.
  static constexpr std::int32_t kRemoteModeEntry = 36;
  static constexpr std::int32_t kZeroCalibrationEntry = 22;
  static constexpr std::int32_t kMeasureEntry = 23;

  static bool caSetupFailed_;

  int kind_;
  MessageBoxFunction messageBox_;
  bool notConnectedShown_ = false;  // the "Not Connect!" box was shown
  std::string setUpFailure_;
  Ref<ca200::ICas> cas_;
  Ref<ca200::ICa> ca_;
  Ref<ca200::IProbes> probes_;
  Ref<ca200::IProbe> probe_;
  Ref<ca200::IMemory> memory_;
};

}  // namespace velluma
