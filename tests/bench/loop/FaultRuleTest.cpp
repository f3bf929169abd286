// The fault grammar's device qualifiers and library actions: a rule reaches only the device it
// names, and each device takes only the actions that make sense for it.
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/loop/FaultRule.h"
#include "bench/loop/FaultScript.h"
#include "gtest/gtest.h"

namespace velluma::bench {
namespace {

TEST(FaultRule, ParsesQualifiedRulesWithTheirActionsAndCodes) {
  struct Case {
    std::string line;
    FaultAction action;
    int32_t code;
    std::string reply;
  };
  const std::vector<Case> cases = {
      {"pr655:M1 reply -8", FaultAction::Reply, 0, "-8"},
      {"pr655:M1 reply 0000,111 times 1", FaultAction::Reply, 0, "0000,111"},
      {"pr655:SK60 silent", FaultAction::Silent, 0, ""},
      {"ca:collection refuse", FaultAction::Fail, 0, ""},
      {"ca:sx fail from 2", FaultAction::Fail, 0, ""},
      {"ca:zero code 412", FaultAction::Code, 412, ""},
      {"ca:zero code 0x0001019C", FaultAction::Code, 0x0001019C, ""},
      {"ca:measure code 0x8001020B", FaultAction::Code, static_cast<int32_t>(0x8001020B), ""},
      {"ca:measure code -5 times 2", FaultAction::Code, -5, ""},
      {"eyeone:SetOption:ColorSpaceDescription.Type fail", FaultAction::Fail, 0, ""},
      {"eyeone:TriggerMeasurement code 256", FaultAction::Code, 256, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    FaultRule rule = FaultRule::Parse(c.line);
    EXPECT_EQ(rule.Action(), c.action);
    EXPECT_EQ(rule.Code(), c.code);
    EXPECT_EQ(rule.ReplyText(), c.reply);
  }
}

TEST(FaultRule, RefusesActionsForeignToTheDeviceAndBadCodes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"pr655:M1 er0", "does not apply to pr655:"},
      {"pr655:M1 badsum", "does not apply to pr655:"},
      {"ca:zero silent", "does not apply to ca:"},
      {"eyeone:Calibrate reply 1", "does not apply to eyeone:"},
      {"QID fail", "does not apply to the monitor"},
      {"OUT code 3", "does not apply to the monitor"},
      {"ca:zero code", "code needs a number"},
      {"ca:zero code 41x", "bad code"},
      {"ca:zero code 0x", "bad code"},
      {"ca:zero code 0x100000000", "bad code"},
      {"ca:zero code +4", "bad code"},
      {"ca:zero code 4 5", "unexpected \"5\""},
      {"ca:zero fail now", "unexpected \"now\""},
      {"pr655: silent", "needs a command prefix"},
  };
  for (const auto& [line, reason] : cases) {
    SCOPED_TRACE(line);
    try {
      FaultRule::Parse(line);
      ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& error) {
      EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
  }
}

TEST(FaultScript, RulesReachOnlyTheirDeviceAndStarMeansAllOfIt) {
  FaultScript script;
  script.AddLine("* er0");
  script.AddLine("pr655:* silent from 2");
  script.AddLine("ca:zero code 412");
  // The monitor's "*" leaves the PR-655 alone, and a PR-655 "M1" is not the monitor's.
  EXPECT_EQ(script.Match(FaultDevice::Pr655, {"M1"}), nullptr);
  const FaultRule* second = script.Match(FaultDevice::Pr655, {"PHOTO"});
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Action(), FaultAction::Silent);
  const FaultRule* monitor = script.Match("QID");
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(monitor->Action(), FaultAction::Er0);
  EXPECT_EQ(script.Match(FaultDevice::EyeOne, {"Calibrate"}), nullptr);
  // A call is matched by its text or its short name.
  EXPECT_EQ(script.Match(FaultDevice::Ca, {"Ca.23 1", "measure"}), nullptr);
  const FaultRule* zero = script.Match(FaultDevice::Ca, {"Ca.22", "zero"});
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(zero->Code(), 412);
}

TEST(FaultScript, ACallKnownByTwoNamesCountsOnce) {
  FaultScript script;
  script.AddLine("ca:* fail from 2 times 1");  // matches both names of every call
  EXPECT_EQ(script.Match(FaultDevice::Ca, {"Ca.22", "zero"}), nullptr);
  const FaultRule* second = script.Match(FaultDevice::Ca, {"Ca.22", "zero"});
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Action(), FaultAction::Fail);
  EXPECT_EQ(script.Match(FaultDevice::Ca, {"Ca.22", "zero"}), nullptr);
}

}  // namespace
}  // namespace velluma::bench
