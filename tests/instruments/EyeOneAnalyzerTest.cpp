#include <gtest/gtest.h>

#include <cstdlib>

#include "instruments/EyeOneAnalyzer.h"
#include "platform/SharedLibrary.h"
#include "tests/support/Environment.h"

namespace velluma {
namespace {

// The i1-Pro driver against a scripted EyeOne library, loaded from its path like the real one.
class EyeOneAnalyzerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnvironment("VELLUMA_EYEONE", SCRIPTED_EYEONE_PATH);
    ASSERT_TRUE(script_.Load(SCRIPTED_EYEONE_PATH));  // the same loaded copy the driver gets
    set_ =
        reinterpret_cast<void (*)(const char*, std::int32_t)>(script_.Symbol("ScriptedEyeOneSet"));
    log_ = reinterpret_cast<const char* (*)()>(script_.Symbol("ScriptedEyeOneLog"));
    reinterpret_cast<void (*)()>(script_.Symbol("ScriptedEyeOneReset"))();
  }
  void TearDown() override { test::UnsetEnvironment("VELLUMA_EYEONE"); }

  SharedLibrary script_;
  void (*set_)(const char*, std::int32_t) = nullptr;
  const char* (*log_)() = nullptr;
};

TEST_F(EyeOneAnalyzerTest, ConstructionTouchesNothingAndLoadingResolvesEveryEntryPointOnce) {
  EyeOneAnalyzer i1(3, "COM4", 115200);
  EXPECT_FALSE(i1.Loaded());
  EXPECT_EQ(i1.LoadEyeOne(), 0);
  EXPECT_EQ(i1.LoadEyeOne(), 0) << "loaded once";
  EXPECT_STREQ(log_(), "") << "loading calls nothing";
  EXPECT_EQ(i1.IsConnected(), 0);
  EXPECT_EQ(i1.SetOption("MeasurementMode", "SingleEmission"), 0);
  EXPECT_EQ(i1.Calibrate(), 0);
  EXPECT_EQ(i1.TriggerMeasurement(), 0);
  float values[3] = {};
  EXPECT_EQ(i1.GetTriStimulus(values, 0), 0);
  EXPECT_FLOAT_EQ(values[2], 240.5f);
  EXPECT_STREQ(log_(),
               "IsConnected;SetOption MeasurementMode=SingleEmission;Calibrate;TriggerMeasurement;"
               "GetTriStimulus 0;");
}

TEST_F(EyeOneAnalyzerTest, OnlyTheLow8BitsOfAResultCount) {
  EyeOneAnalyzer i1(3, "USB", 9600);
  ASSERT_EQ(i1.LoadEyeOne(), 0);
  set_("IsConnected", 0x100);
  EXPECT_EQ(i1.IsConnected(), 0);
  set_("Calibrate", 0x1FF);
  EXPECT_EQ(i1.Calibrate(), 0xFF);
  set_("TriggerMeasurement", 2);
  EXPECT_EQ(i1.TriggerMeasurement(), 2);
}

TEST_F(EyeOneAnalyzerTest, AMissingLibraryOrEntryPointIsNotLoaded) {
  test::SetEnvironment("VELLUMA_EYEONE", "/nonexistent/EyeOne.so");
  EyeOneAnalyzer missing(3, "USB", 9600);
  EXPECT_EQ(missing.LoadEyeOne(), EyeOneAnalyzer::kNotLoaded);
  EXPECT_NE(missing.IsConnected(), 0) << "nothing is called without the library";
  test::SetEnvironment("VELLUMA_EYEONE", SCRIPTED_EYEONE_INCOMPLETE_PATH);
  EyeOneAnalyzer incomplete(3, "USB", 9600);
  EXPECT_EQ(incomplete.LoadEyeOne(), EyeOneAnalyzer::kNotLoaded);
  EXPECT_FALSE(incomplete.Loaded());
}

TEST_F(EyeOneAnalyzerTest, TheDefaultPath) {
  test::UnsetEnvironment("VELLUMA_EYEONE");
#ifdef _WIN32
  EXPECT_EQ(EyeOneAnalyzer::LibraryPath(), "EyeOne.dll");  // found the way Windows finds a library
#else
  EXPECT_EQ(EyeOneAnalyzer::LibraryPath(), "/usr/local/lib/EyeOne.so");
#endif
}

}  // namespace
}  // namespace velluma
