// The bench's EyeOne library, loaded with dlopen as the program loads it: its twelve entry
// points, the connection that only a bench gives, options, measurements and faults.
#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/support/BenchProcess.h"

namespace velluma::bench {
namespace {

using NoArguments = int32_t (*)();
using GetTriStimulusFunction = int32_t (*)(float*, int32_t);
using GetSpectrumFunction = int32_t (*)(float*, int32_t);
using SetOptionFunction = int32_t (*)(const char*, const char*);
using GetOptionFunction = const char* (*)(const char*);

class Library {
 public:
  Library() : handle_(::dlopen(VELLUMA_EYEONE_PATH, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) throw std::runtime_error(::dlerror());
  }
  ~Library() { ::dlclose(handle_); }

  void* Symbol(const char* name) const { return ::dlsym(handle_, name); }
  template <typename Function>
  Function Entry(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }

  int32_t Call(const char* name) const { return Entry<NoArguments>(name)(); }
  int32_t SetOption(const char* key, const char* value) const {
    return Entry<SetOptionFunction>("I1_SetOption")(key, value);
  }
  std::string GetOption(const char* key) const {
    return Entry<GetOptionFunction>("I1_GetOption")(key);
  }
  int32_t GetTriStimulus(float values[3], int32_t index) const {
    return Entry<GetTriStimulusFunction>("I1_GetTriStimulus")(values, index);
  }

 private:
  void* handle_;
};

class EyeOneLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("VELLUMA_BENCH_SOCKET", bench_.SocketPath().c_str(), 1); }

  // The options AUTO sets, in its order.
  void SetAutoOptions() {
    EXPECT_EQ(library_.SetOption("MeasurementMode", "SingleEmission"), 0);
    EXPECT_EQ(library_.SetOption("Colorimetric.Illumination", "Emission"), 0);
    EXPECT_EQ(library_.SetOption("ColorSpaceDescription.Type", "CIExyY"), 0);
  }

  BenchProcess bench_{{"--reply-delay", "1"}};
  Library library_;
};

TEST(EyeOneLibrary, ExportsAllTwelveEntryPoints) {
  Library library;
  for (const char* name :
       {"I1_IsConnected", "I1_KeyPressed", "I1_GetNumberOfAvailableSamples", "I1_Calibrate",
        "I1_TriggerMeasurement", "I1_GetSpectrum", "I1_GetTriStimulus", "I1_GetDensity",
        "I1_GetDensities", "I1_SetSubstrate", "I1_SetOption", "I1_GetOption"}) {
    EXPECT_NE(library.Symbol(name), nullptr) << name;
  }
}

TEST(EyeOneLibrary, IsNotConnectedWithoutABench) {
  Library library;
  ::setenv("VELLUMA_BENCH_SOCKET", "/nonexistent/velluma/bench.sock", 1);
  EXPECT_NE(library.Call("I1_IsConnected"), 0);
  EXPECT_NE(library.Call("I1_Calibrate"), 0);
  EXPECT_NE(library.Call("I1_TriggerMeasurement"), 0);
  EXPECT_NE(library.SetOption("MeasurementMode", "SingleEmission"), 0);
}

TEST_F(EyeOneLibraryTest, ConnectsCalibratesAndMeasuresThePatchAsXyY) {
  EXPECT_EQ(library_.Call("I1_IsConnected"), 0);
  EXPECT_EQ(library_.SetOption("MeasurementMode", "SingleEmission"), 0);
  EXPECT_EQ(library_.Call("I1_Calibrate"), 0);
  SetAutoOptions();
  EXPECT_EQ(library_.GetOption("ColorSpaceDescription.Type"), "CIExyY");
  EXPECT_EQ(library_.GetOption("Colorimetric.Illumination"), "Emission");

  struct Case {
    int r, g, b;
    float x, y, Y;
  };
  const std::vector<Case> cases = {{255, 255, 255, 0.3127f, 0.3290f, 260.0f},
                                   {0, 0, 0, 0.3127f, 0.3290f, 0.2f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.r);
    bench_.ShowPatch(c.r, c.g, c.b);
    EXPECT_EQ(library_.Call("I1_TriggerMeasurement"), 0);
    float values[3] = {-1, -1, -1};
    EXPECT_EQ(library_.GetTriStimulus(values, 0), 0);
    EXPECT_NEAR(values[0], c.x, 1e-5);
    EXPECT_NEAR(values[1], c.y, 1e-5);
    EXPECT_NEAR(values[2], c.Y, 1e-3);
  }
  float untouched[3] = {-1, -1, -1};
  EXPECT_NE(library_.GetTriStimulus(untouched, 1), 0);
  EXPECT_EQ(untouched[0], -1);

  EXPECT_EQ(
      bench_.Request("log eyeone"),
      (std::vector<std::string>{
          "IsConnected", "SetOption:MeasurementMode=SingleEmission", "Calibrate",
          "SetOption:MeasurementMode=SingleEmission",
          "SetOption:Colorimetric.Illumination=Emission",
          "SetOption:ColorSpaceDescription.Type=CIExyY", "GetOption:ColorSpaceDescription.Type",
          "GetOption:Colorimetric.Illumination", "TriggerMeasurement", "GetTriStimulus 0",
          "TriggerMeasurement", "GetTriStimulus 0", "GetTriStimulus 1"}));
  auto state = bench_.State();
  EXPECT_EQ(state["eyeone.calibrations"], "1");
  EXPECT_EQ(state["eyeone.measurements"], "2");
}

TEST_F(EyeOneLibraryTest, GivesXyzInAnyOtherColourSpace) {
  EXPECT_EQ(library_.SetOption("ColorSpaceDescription.Type", "CIEXYZ"), 0);
  bench_.ShowPatch(255, 255, 255);
  ASSERT_EQ(library_.Call("I1_TriggerMeasurement"), 0);
  float values[3] = {};
  EXPECT_EQ(library_.GetTriStimulus(values, 0), 0);
  EXPECT_NEAR(values[0], 260.0 * 0.3127 / 0.3290, 0.01);
  EXPECT_NEAR(values[1], 260.0, 0.01);
  EXPECT_NEAR(values[2], 260.0 * (1 - 0.3127 - 0.3290) / 0.3290, 0.01);
  float spectrum[36] = {};
  EXPECT_EQ(library_.Entry<GetSpectrumFunction>("I1_GetSpectrum")(spectrum, 0), 0);
  EXPECT_NEAR(spectrum[35], 260.0, 0.01);
  EXPECT_EQ(library_.Call("I1_GetNumberOfAvailableSamples"), 1);
}

TEST_F(EyeOneLibraryTest, RefusesOptionsItDoesNotKnow) {
  const std::vector<std::pair<const char*, const char*>> refused = {
      {"MeasurementMode", "Emission"},
      {"ColorSpaceDescription.type", "CIExyY"},  // keys are case-sensitive
      {"ColorSpaceDescription.Type", "cieXYY"},
      {"", ""},
      {nullptr, "CIExyY"},
  };
  for (const auto& [key, value] : refused) {
    SCOPED_TRACE(key ? key : "null");
    EXPECT_NE(library_.SetOption(key, value), 0);
  }
  EXPECT_EQ(library_.GetOption("NoSuchOption"), "");
}

TEST_F(EyeOneLibraryTest, FaultsRefuseTheirCalls) {
  struct Case {
    std::string rule;
    std::function<int32_t()> call;
    int32_t result;
  };
  const std::vector<Case> cases = {
      {"eyeone:IsConnected fail", [this] { return library_.Call("I1_IsConnected"); }, 1},
      {"eyeone:Calibrate fail", [this] { return library_.Call("I1_Calibrate"); }, 1},
      {"eyeone:TriggerMeasurement fail", [this] { return library_.Call("I1_TriggerMeasurement"); },
       1},
      {"eyeone:TriggerMeasurement code 256",
       [this] { return library_.Call("I1_TriggerMeasurement"); }, 256},
      {"eyeone:SetOption fail",
       [this] { return library_.SetOption("MeasurementMode", "SingleEmission"); }, 1},
      {"eyeone:SetOption:Colorimetric.Illumination fail",
       [this] { return library_.SetOption("Colorimetric.Illumination", "Emission"); }, 1},
      {"eyeone:SetOption:Colorimetric.Illumination fail",
       [this] { return library_.SetOption("MeasurementMode", "SingleEmission"); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    bench_.Clear();
    bench_.AddFault(c.rule);
    EXPECT_EQ(c.call(), c.result);
  }
  EXPECT_EQ(bench_.State()["eyeone.measurements"], "0");

  // A refused option is not kept: the colour space stays as it was.
  bench_.Clear();
  ASSERT_EQ(library_.SetOption("ColorSpaceDescription.Type", "CIExyY"), 0);
  bench_.AddFault("eyeone:SetOption:ColorSpaceDescription.Type fail");
  EXPECT_NE(library_.SetOption("ColorSpaceDescription.Type", "CIEXYZ"), 0);
  EXPECT_EQ(library_.GetOption("ColorSpaceDescription.Type"), "CIExyY");
}

}  // namespace
}  // namespace velluma::bench
