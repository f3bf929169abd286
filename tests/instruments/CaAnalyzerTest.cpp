#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "instruments/CaAnalyzer.h"
#include "tests/support/Environment.h"
#include "tests/support/ScriptedCaServer.h"

namespace velluma {
namespace {

using test::CaScript;

// The CA driver against a scripted CA-SDK object model.
class CaAnalyzerTest : public ::testing::Test {
 protected:
  std::unique_ptr<CaAnalyzer> Make(int kind, const std::string& port = "USB", int speed = 9600) {
    return std::make_unique<CaAnalyzer>(
        kind, port, speed,
        [this](const std::string& text, const std::string& caption, int flags) {
          boxes_.push_back(caption + "|" + text + "|" + std::to_string(flags));
          return 1;
        },
        server_);
  }

  CaScript script_;
  CaServer server_{test::MakeScriptedCaServer(script_)};
  std::vector<std::string> boxes_;
};

TEST_F(CaAnalyzerTest, ConstructionConfiguresTheServerInOrder) {
  auto ca210 = Make(1, "COM3", 19200);
  const std::vector<std::string> expected{"SetConfiguration 1 1 3 19200",
                                          "Server.Cas",
                                          "Cas.Item 3:1",
                                          "Ca.Probes",
                                          "Probes.Item 3:1",
                                          "Ca.Memory",
                                          "Memory.1 4",
                                          "Ca.7 0",
                                          "Ca.9 0",
                                          "Ca.13 2",
                                          "Ca.11 1",
                                          "Ca.36 0"};
  EXPECT_EQ(script_.calls, expected);
  EXPECT_EQ(CaAnalyzer::SetupStatus(), 0);
  EXPECT_TRUE(boxes_.empty());

  script_.calls.clear();
  auto ca310 = Make(2, "USB", 9600);
  EXPECT_EQ(script_.calls.front(), "SetConfiguration 1 1 0 9600") << "USB is port 0, baud as set";
  EXPECT_EQ(script_.calls.at(6), "Memory.1 0") << "the CA-310 differs only in the memory value";
}

TEST_F(CaAnalyzerTest, PortNumbers) {
  EXPECT_EQ(CaAnalyzer::PortNumber("USB"), 0);
  EXPECT_EQ(CaAnalyzer::PortNumber("COM1"), 1);
  EXPECT_EQ(CaAnalyzer::PortNumber("COM6"), 6);
  EXPECT_EQ(CaAnalyzer::PortNumber("COM12"), 1) << "only the fourth character counts";
}

TEST_F(CaAnalyzerTest, RemoteModeZeroCalibrationAndMeasurement) {
  auto ca = Make(2);
  script_.calls.clear();
  script_.remoteResult = -1;
  EXPECT_EQ(ca->BeginRemote(), 0) << "a refused remote mode is not examined";
  EXPECT_EQ(ca->ZeroCalibrate(), 0);
  double x = 0, y = 0, Y = 0;
  EXPECT_EQ(ca->Measure(x, y, Y), 0);
  EXPECT_EQ(ca->EndRemote(), 0);
  EXPECT_EQ(script_.calls, (std::vector<std::string>{"Ca.36 1", "Ca.22", "Ca.23 1", "Probe.sx",
                                                     "Probe.sy", "Probe.Lv", "Ca.36 0"}));
  EXPECT_DOUBLE_EQ(x, 0.3127f);
  EXPECT_DOUBLE_EQ(y, 0.3290f);
  EXPECT_DOUBLE_EQ(Y, 250.5f);
}

TEST_F(CaAnalyzerTest, RefusalsGiveTheirLow16BitsAndTheirTexts) {
  auto ca = Make(1);
  struct Case {
    std::int32_t result;
    int code;
    const char* text;
  } cases[] = {
      {static_cast<std::int32_t>(0x8004020B), 523, "TOO BRIGHT(E21)"},
      {521, 521, "TOO BRIGHT(E21)"},
      {static_cast<std::int32_t>(0x8004019C), 412, "PROBE ERROR(E26)"},
      {411, 411, "SET MAIN PROBE(E25)"},
      {426, 426, "DARKEN PROBE(E30)"},
      {7, 7, "Other Error"},
      {1, 1, "Other Error"},               // a success code other than 0 is still a refusal
      {0x00010000, 65535, "Other Error"},  // low bits 0 must not read as success
  };
  for (const Case& c : cases) {
    script_.measureResult = c.result;
    script_.zeroResult = c.result;
    double x = 7, y = 7, Y = 7;
    EXPECT_EQ(ca->Measure(x, y, Y), c.code) << c.result;
    EXPECT_EQ(x + y + Y, 21) << "values untouched after a refusal";
    EXPECT_EQ(ca->ZeroCalibrate(), c.code);
    EXPECT_EQ(CaAnalyzer::ErrorText(c.code), c.text);
  }
  EXPECT_EQ(CaAnalyzer::ErrorText(0), "OK");
}

TEST_F(CaAnalyzerTest, ARefusedCollectionShowsTheBoxOnceAndFailsTheSetUpUntilOneCompletes) {
  script_.casResult = -2147467259;  // E_FAIL
  auto failed = Make(2);
  EXPECT_EQ(CaAnalyzer::SetupStatus(), -1);
  EXPECT_EQ(boxes_, std::vector<std::string>{"ERROR: |Not Connect!  Restart Application|0"});
  EXPECT_EQ(script_.calls.back(), "Server.Cas") << "no later step runs";
  script_.casResult = 0;
  script_.noCollection = true;
  auto empty = Make(2);
  EXPECT_EQ(CaAnalyzer::SetupStatus(), -1);
  EXPECT_EQ(boxes_.size(), 1u) << "a missing collection without a failure shows nothing";
  script_.noCollection = false;
  auto good = Make(2);
  EXPECT_EQ(CaAnalyzer::SetupStatus(), 0);
}

TEST_F(CaAnalyzerTest, AFailedReadDuringAMeasurementDeliversNaN) {
  auto ca = Make(2);
  script_.sxResult = -1;
  double x = 0, y = 0, Y = 0;
  EXPECT_EQ(ca->Measure(x, y, Y), 0);
  EXPECT_TRUE(std::isnan(x));
  EXPECT_DOUBLE_EQ(y, 0.3290f);
  EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(CaAnalyzerTest, ObjectsAreReleasedWithTheDriver) {
  { auto ca = Make(1); }
  EXPECT_EQ(script_.liveObjects, 1) << "only the process-wide server object remains";
}

TEST(CaServerTest, NoModuleMeansTheServerIsNotAvailable) {
  test::SetEnvironment("VELLUMA_CA_SERVER", "/nonexistent/ca200srvr.so");
  CaServer server;
  EXPECT_THROW(server.Connect(), CaServerUnavailable);
  try {
    server.Connect();
  } catch (const CaServerUnavailable& error) {
    EXPECT_EQ(std::string(error.what()).rfind("server not available", 0), 0u);
  }
  test::UnsetEnvironment("VELLUMA_CA_SERVER");
#ifdef _WIN32
  EXPECT_EQ(CaServer::ModulePath(), "CLSID {006B0650-AF9A-4EE1-B18F-B5740004D7CE}");
#else
  EXPECT_EQ(CaServer::ModulePath(), "/usr/local/lib/ca200srvr.so");
#endif
}

}  // namespace
}  // namespace velluma
