#include <gtest/gtest.h>

#include "instruments/AnalyzerFront.h"
#include "instruments/AnalyzerOffset.h"
#include "tests/support/PtyPeer.h"

namespace velluma {
namespace {

// A model that names no instrument, or whose driver the station does not hold, answers -1
// named "NoConnect": a PR-655 without its driver does not read its -1 as "Light source not
// constant", nor a CA-310 as a CA code.
TEST(AnalyzerFrontTest, ModelsWithoutADriverGetMinusOneAndNoConnect) {
  std::unique_ptr<CaAnalyzer> ca;
  std::unique_ptr<EyeOneAnalyzer> i1;
  std::unique_ptr<Pr655Analyzer> pr;
  VirtualClock clock;
  std::string model;
  AnalyzerFront front([&] { return model; }, {ca, i1, pr}, clock);
  for (const char* name : {"ca-210", "NoConnect", "", "CA-210 ", "CA-310", "PR-655"}) {
    model = name;
    double x = 5, y = 5, Y = 5;
    const InstrumentResult measured = front.Measure(x, y, Y);
    EXPECT_EQ(measured.code, -1) << name;
    EXPECT_EQ(measured.ErrorText(), "NoConnect") << name;
    EXPECT_EQ(x + y + Y, 15);
    EXPECT_EQ(front.BeginRemote().ErrorText(), "NoConnect") << name;
    EXPECT_EQ(front.EndRemote().code, -1) << name;
  }
  for (const char* name : {"ca-210", "NoConnect", "CA-310"}) {
    model = name;
    EXPECT_EQ(front.ZeroCalibrate().code, -1) << name;
  }
  model = "PR-655";
  EXPECT_EQ(front.ZeroCalibrate().code, 0) << "it has none of its own, driver or not";
}

TEST(AnalyzerFrontTest, TheI1ProNeedsNoRemoteModeAndNamesItsCodes) {
  std::unique_ptr<CaAnalyzer> ca;
  auto i1 = std::make_unique<EyeOneAnalyzer>(3, "USB", 9600);
  std::unique_ptr<Pr655Analyzer> pr;
  VirtualClock clock;
  AnalyzerFront front([] { return std::string("i1-Pro"); }, {ca, i1, pr}, clock);
  EXPECT_EQ(front.BeginRemote().code, 0);
  EXPECT_EQ(front.EndRemote().code, 0);
  EXPECT_EQ(front.ZeroCalibrate().code, 0);
  double x = 5, y = 5, Y = 5;
  const InstrumentResult measured = front.Measure(x, y, Y);
  EXPECT_EQ(measured.code, -1) << "no library loaded: the trigger fails";
  EXPECT_EQ(clock.Pauses(), std::vector<int>{100});
  EXPECT_EQ(x + y + Y, 15);
  EXPECT_EQ(measured.ErrorText(), "MeasureSingle failed.");
  EXPECT_EQ(measured.instrument->ErrorText(0), "OK");
  EXPECT_EQ(measured.instrument->ErrorText(5), "Unknown error");
}

TEST(AnalyzerFrontTest, ThePr655HasNoZeroCalibrationAndSendsNothingForIt) {
  test::PtyPeer peer(test::PtyPeer::Framing::Lines);
  VirtualClock clock;
  std::unique_ptr<CaAnalyzer> ca;
  std::unique_ptr<EyeOneAnalyzer> i1;
  auto pr = std::make_unique<Pr655Analyzer>(0, peer.DevicePath(), 9600, clock);
  AnalyzerFront front([] { return std::string("PR-655"); }, {ca, i1, pr}, clock);
  const InstrumentResult zeroed = front.ZeroCalibrate();
  EXPECT_EQ(zeroed.code, 0);
  EXPECT_EQ(zeroed.instrument->ErrorText(-8), "Weak light   insufficient signal.");
  EXPECT_TRUE(peer.Received().empty());
}

TEST(AnalyzerOffsetTest, TextsLeftInTheOffsetEdits) {
  struct Case {
    const char* typed;
    std::optional<std::string> kept;
  } cases[] = {
      {"0.05", "+0.0500"},
      {"-0.05", "-0.0500"},
      {"0", "0.0000"},
      {"0.0999", "+0.0999"},
      {"-0.0999", "-0.0999"},
      {" .01", "+0.0100"},
      {"-", "-"},
      {"+", "+"},
      {"", ""},
      {"0.1", std::nullopt},
      {"-0.1", std::nullopt},
      {"abc", std::nullopt},
      {"0.05x", std::nullopt},
      {"0.05 ", std::nullopt},
      {"nan", std::nullopt},
      {"--", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckedOffsetText(c.typed), c.kept) << c.typed;
  EXPECT_EQ(OffsetValue("+0.0050"), 0.005);
  EXPECT_EQ(OffsetValue("-"), 0.0);
  EXPECT_EQ(OffsetValue(""), 0.0);
}

}  // namespace
}  // namespace velluma
