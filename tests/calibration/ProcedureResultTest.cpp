// What AUTO, 0-CAL. and the transfers return when they end: the outcome the command line exits
// with and the run history keeps, and the report the operator was shown, from the procedure
// itself however it ended; and the history's record of each, which is that result.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "calibration/ProcedureResult.h"
#include "calibration/Station.h"
#include "history/OpenHistory.h"
#include "tests/support/CaBenchRig.h"
#include "tests/support/Environment.h"

namespace velluma {
namespace {

using test::kAutoGrey0;
using test::kAutoWhite;
using Outcome = ProcedureOutcome;

class ProcedureResultTest;

struct Case {
  const char* what;
  std::function<ProcedureResult(ProcedureResultTest&)> run;
  Outcome outcome;
  std::string report;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.what;
}

class ProcedureResultTest : public test::CaBenchRig, public ::testing::WithParamInterface<Case> {
 public:
  // The rig, as each case arranges it.
  using CaBenchRig::bench_;
  using CaBenchRig::failAt_;
  using CaBenchRig::reading_;
  using CaBenchRig::script_;
  using StationRig::dir_;
  using StationRig::op_;
  using StationRig::station_;
  using StationRig::UseMonitorPort;

  void SetUp() override {
    CaBenchRig::SetUp();
    op_.dialogAnswers = {dir_.File("auto.txt")};
    station_.UseHistory(dir_.File("history.db"));
  }
  void TearDown() override {
    CaBenchRig::TearDown();
    test::UnsetEnvironment("VELLUMA_EYEONE");
  }

  // The devices made again for the instrument `model`.
  void UseInstrument(const char* model) {
    settings_.WriteStringSetting("AnalizerModel", model);
    station_.CloseDevices();
    station_.OpenDevices();
  }
  // An i1-Pro whose library is not there: its calibration stops at "0-Cal. Abort".
  void UseI1WithoutItsLibrary() {
    test::SetEnvironment("VELLUMA_EYEONE", dir_.File("no-EyeOne.so").c_str());
    UseInstrument("i1-Pro");
  }
  ProcedureResult Auto() { return station_.RunAuto(); }
  ProcedureResult ZeroCal() { return station_.ZeroCalibrate(); }
  ProcedureResult SendHeldCalibration() {
    seam_.HoldCalibrationData({});
    return station_.SendCalibration();
  }
};

TEST_P(ProcedureResultTest, EndsWithItsOutcomeAndReportAndTheHistoryKeepsThem) {
  const ProcedureResult result = GetParam().run(*this);
  EXPECT_EQ(result.outcome, GetParam().outcome);
  EXPECT_EQ(result.report, GetParam().report);

  const auto records = history::OpenHistory(dir_.File("history.db"))->Query({});
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front().resultCode, result.Code());
  EXPECT_EQ(records.front().outcome, result.report);
  EXPECT_EQ(records.front().monitorModel, result.monitor);
}

const Case kAuto[] = {
    {"complete", [](ProcedureResultTest& t) { return t.Auto(); }, Outcome::Done,
     "Auto\t\tComplete.\nMaxBright\t\t 250"},
    {"greys out of their window",
     [](ProcedureResultTest& t) {
       t.reading_ = [](int index, test::CaScript& s) {
         if (index == kAutoGrey0 + 200) s.sx = 0.2399f;
       };
       return t.Auto();
     },
     Outcome::Refused, "Auto\t\tNG\n RGBch\t\tNG\nMaxBright\t\t 250"},
    {"a dim panel: no report",
     [](ProcedureResultTest& t) {
       t.reading_ = [](int index, test::CaScript& s) {
         if (index == kAutoWhite) s.lv = 200.0f;
       };
       return t.Auto();
     },
     Outcome::Refused, "QX-7MR520\nMaxBright\t 200\tNG"},
    {"aborted",
     [](ProcedureResultTest& t) {
       t.UseI1WithoutItsLibrary();
       return t.Auto();
     },
     Outcome::Failed, "Auto Calibration Abort"},
    {"another monitor",
     [](ProcedureResultTest& t) {
       BenchProcess other({"--model", "QX-9", "--reply-delay", "10"});
       t.UseMonitorPort(other.MonitorDevice());
       t.UseInstrument("CA-310");
       ProcedureResult result = t.Auto();
       EXPECT_EQ(result.monitor, "QX-9");
       t.station_.CloseDevices();
       return result;
     },
     Outcome::Failed, "monitor: QX-9"},
    {"a CA set-up that found no instrument",
     [](ProcedureResultTest& t) {
       t.UseInstrument("CA-310");
       t.script_.casResult = -1;
       return t.Auto();
     },
     Outcome::Failed, "Not Connect!  Restart Application"},
    {"NG after a failed measurement",
     [](ProcedureResultTest& t) {
       t.failAt_ = kAutoGrey0 + 60;
       return t.Auto();
     },
     Outcome::Failed, "Auto\t\tNG\n RGBch\t\tNG\nMaxBright\t\t   0"},
    {"Complete. after a failed save",
     [](ProcedureResultTest& t) {
       t.op_.dialogAnswers = {t.dir_.File("no-folder/auto.txt")};
       return t.Auto();
     },
     Outcome::Failed, "Auto\t\tComplete.\nMaxBright\t\t 250"},
    {"Complete. after the final black patch failed",
     [](ProcedureResultTest& t) {
       t.failAt_ = kAutoGrey0 + 256;
       return t.Auto();
     },
     Outcome::Failed, "Auto\t\tComplete.\nMaxBright\t\t 250"},
    {"the save dialog cancelled",
     [](ProcedureResultTest& t) {
       t.op_.dialogAnswers.clear();
       return t.Auto();
     },
     Outcome::Failed, ""},
};
INSTANTIATE_TEST_SUITE_P(Auto, ProcedureResultTest, ::testing::ValuesIn(kAuto));

const Case kZeroCalAndTransfers[] = {
    {"0-CAL. complete", [](ProcedureResultTest& t) { return t.ZeroCal(); }, Outcome::Done,
     "Complete."},
    {"0-CAL. without an instrument, after a transfer that completed",
     [](ProcedureResultTest& t) {
       EXPECT_TRUE(t.SendHeldCalibration().Done());
       t.UseInstrument("NoConnect");
       return t.ZeroCal();
     },
     Outcome::Failed, "Analyzer: Error"},
    {"0-CAL. refused by the CA",
     [](ProcedureResultTest& t) {
       t.script_.zeroResult = static_cast<std::int32_t>(0x8004019C);
       return t.ZeroCal();
     },
     Outcome::Failed, "Analyzer: PROBE ERROR(E26)"},
    {"0-CAL. aborted",
     [](ProcedureResultTest& t) {
       t.UseI1WithoutItsLibrary();
       return t.ZeroCal();
     },
     Outcome::Failed, "0-Cal. Abort"},
    {"PC -> MONITOR with nothing held",
     [](ProcedureResultTest& t) { return t.station_.SendCalibration(); }, Outcome::Failed,
     "NOT FILE LOAD"},
    {"PC -> MONITOR complete", [](ProcedureResultTest& t) { return t.SendHeldCalibration(); },
     Outcome::Done, "Complete."},
    {"PC -> MONITOR refused",
     [](ProcedureResultTest& t) {
       t.bench_.AddFault("G$M:WDW1 reply NAK");
       return t.SendHeldCalibration();
     },
     Outcome::Failed, "Monitor: NACK"},
    {"a LUT that was never loaded", [](ProcedureResultTest& t) { return t.station_.SendLut(0); },
     Outcome::Failed, "NOT FILE LOAD"},
};
INSTANTIATE_TEST_SUITE_P(ZeroCalAndTransfers, ProcedureResultTest,
                         ::testing::ValuesIn(kZeroCalAndTransfers));

}  // namespace
}  // namespace velluma
