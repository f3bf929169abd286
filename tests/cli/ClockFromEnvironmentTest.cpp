// The run's clock: real time unless VELLUMA_CLOCK_SCALE asks for scaled time.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/ClockFromEnvironment.h"
#include "cli/UsageError.h"

namespace velluma::cli {
namespace {

class ClockFromEnvironmentTest : public ::testing::Test {
 protected:
  void TearDown() override { ::unsetenv("VELLUMA_CLOCK_SCALE"); }
};

TEST_F(ClockFromEnvironmentTest, ScaledTimeWithAFactor) {
  ::setenv("VELLUMA_CLOCK_SCALE", "0.02", 1);
  EXPECT_EQ(ClockFromEnvironment()->WaitBudget(10000), 200);
}

TEST_F(ClockFromEnvironmentTest, AnythingButAPositiveNumberIsRefused) {
  for (const char* text : {"fast", "0", "-0.5", "0.02x", "inf", "nan"}) {
    ::setenv("VELLUMA_CLOCK_SCALE", text, 1);
    EXPECT_THROW(ClockFromEnvironment(), UsageError) << text;
  }
}

}  // namespace
}  // namespace velluma::cli
