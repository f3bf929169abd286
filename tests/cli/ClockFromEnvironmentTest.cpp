// The run's clock: real time unless VELLUMA_CLOCK_SCALE asks for scaled time.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/ClockFromEnvironment.h"
#include "cli/UsageError.h"

#include "tests/support/Environment.h"

namespace velluma::cli {
namespace {

class ClockFromEnvironmentTest : public ::testing::Test {
 protected:
  void TearDown() override { test::UnsetEnvironment("VELLUMA_CLOCK_SCALE"); }
};

TEST_F(ClockFromEnvironmentTest, ScaledTimeWithAFactor) {
  test::SetEnvironment("VELLUMA_CLOCK_SCALE", "0.02");
  const auto clock = ClockFromEnvironment();
  EXPECT_EQ(clock->WaitBudget(300000), 6000);
  EXPECT_EQ(clock->WaitBudget(10000), 2000) << "a reply is left two seconds, however busy";
  EXPECT_EQ(clock->WaitBudget(1000), 1000) << "but never more than its nominal wait";
}

TEST_F(ClockFromEnvironmentTest, AnythingButAPositiveNumberIsRefused) {
  for (const char* text : {"fast", "0", "-0.5", "0.02x", "inf", "nan"}) {
    test::SetEnvironment("VELLUMA_CLOCK_SCALE", text);
    EXPECT_THROW(ClockFromEnvironment(), UsageError) << text;
  }
}

}  // namespace
}  // namespace velluma::cli
