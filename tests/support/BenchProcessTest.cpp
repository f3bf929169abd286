// The tests' handle on a bench, as the Linux tests and the Windows tests under Wine hold it: the
// bench comes up with the options given, its monitor answers on the port the handle names, its
// control answers, its end is reported, and its ports go with the handle. Under Wine the pty
// relay starts the bench and links its ports into the prefix, so these are the relay's tests too.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "tests/support/BenchProcess.h"

namespace velluma {
namespace {

bool Opens(const std::string& port) {
  RealClock clock;
  SerialPort line(clock);
  return line.Open(port, {});
}

TEST(BenchProcessTest, TheBenchAnswersOnItsPortsAndItsControlAndItsPortsGoWithTheHandle) {
  std::string monitor, pr655;
  {
    BenchProcess bench({"--reply-delay", "1", "--model", "QX-TEST 2"});
    monitor = bench.MonitorDevice();
    pr655 = bench.Pr655Device();
    bench.ShowPatch(26, 43, 60);
    auto state = bench.State();
    EXPECT_EQ(state["pattern"], "26 43 60");
    EXPECT_EQ(state["model"], "QX-TEST 2");
    EXPECT_TRUE(Opens(pr655));
  }
  EXPECT_FALSE(Opens(monitor));
  EXPECT_FALSE(Opens(pr655));
}

TEST(BenchProcessTest, TheBenchsEndIsReportedAndABenchThatCannotStartSaysWhy) {
  BenchProcess quitting;
  quitting.Request("quit");
  EXPECT_EQ(quitting.WaitForExit(), 0);
  EXPECT_THROW(quitting.WaitForExit(), std::runtime_error) << "it has ended already";
  BenchProcess terminated;
  EXPECT_EQ(terminated.Terminate(), 0) << "the bench ends cleanly on SIGTERM";
  try {
    BenchProcess refused({"--frob"});
    ADD_FAILURE() << "a bench with an unknown option started";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("unknown or incomplete --frob"), std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace velluma
