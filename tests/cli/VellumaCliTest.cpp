// velluma-cli as a script runs it: the real program as a child process with a fresh settings
// file and scaled time, against the real bench where a command needs devices. AUTO is in
// VellumaCliAutoTest.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

#include "tests/cli/CliProcess.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::CliResult;
using Args = std::vector<std::string>;
using Rgb = std::array<double, 3>;
using Codes = std::array<int, 3>;

// ---- Tables worked out here, apart from the product's conversion ----

// v in 10-bit codes, rounded half up. Every value the tests use lies at least 0.05 from a
// rounding edge, so the check cannot depend on the last bit of the product's arithmetic.
int Code(double v) {
  const double scaled = v * 1023 + 0.5;
  EXPECT_GT(std::abs(scaled - std::round(scaled)), 0.01)
      << "a test value too close to a rounding edge";
  return static_cast<int>(std::floor(scaled));
}

std::string Number(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// A cube of n points per axis holding f, red changing fastest: the data lines of both formats.
std::string CubeLines(int n, const std::function<Rgb(double, double, double)>& f) {
  std::string text;
  for (int b = 0; b < n; ++b)
    for (int g = 0; g < n; ++g)
      for (int r = 0; r < n; ++r) {
        const Rgb v = f(r / (n - 1.0), g / (n - 1.0), b / (n - 1.0));
        text += Number(v[0]) + " " + Number(v[1]) + " " + Number(v[2]) + "\n";
      }
  return text;
}

// The monitor's 4096 entries (red fastest, 16 points per axis at k/15) of the transform f.
std::vector<Codes> MonitorTable(const std::function<Rgb(double, double, double)>& f) {
  std::vector<Codes> table;
  for (int entry = 0; entry < 4096; ++entry) {
    const Rgb v = f(entry % 16 / 15.0, entry / 16 % 16 / 15.0, entry / 256 / 15.0);
    table.push_back({Code(v[0]), Code(v[1]), Code(v[2])});
  }
  return table;
}

// A linear transform, so that every interpolation of it is exact: blue, half red lifted by a
// quarter, green inverted.
Rgb Rotated(double r, double g, double b) {
  return {b, 0.25 + 0.5 * r, 1 - g};
}

// The same after the Baselight file's input LUT (0.25 + 0.5 t) and its cube (u, v, w) -> (w, u, v).
Rgb LiftedAndRotated(double r, double g, double b) {
  return {0.25 + 0.5 * b, 0.25 + 0.5 * r, 0.25 + 0.5 * g};
}

const std::string kResolveCube =
    "TITLE \"rotated\"\n# made by the test\nLUT_3D_SIZE 3\n\n" +
    CubeLines(3, [](double r, double g, double b) { return Rotated(r, g, b); });
const std::string kBaselightCube =
    "# Truelight Cube v2.0\n# lutLength 2\n# width 3 3 3\n\n# InputLUT\n0.5 0.5 0.5\n1.5 1.5 "
    "1.5\n\n# Cube\n" +
    CubeLines(3, [](double u, double v, double w) {
      return Rgb{w, u, v};
    });

std::vector<Codes> PrintedTable(const std::string& out) {
  std::vector<Codes> table;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    Codes codes{-1, -1, -1};
    std::sscanf(line.c_str(), "%d,%d,%d", &codes[0], &codes[1], &codes[2]);
    table.push_back(codes);
  }
  return table;
}

template <typename Number>
std::vector<Number> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<Number> values;
  for (Number v; in >> v;) values.push_back(v);
  return values;
}

std::string Registry(const std::string& values) {
  return "Windows Registry Editor Version "
         "5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma]\r\n" +
         values;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// ---- The fixture: a fresh settings path, private temporary folder and, when asked, a bench ----

class VellumaCliTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(dir_.File("tmp")); }
  void TearDown() override {
    EXPECT_FALSE(std::filesystem::exists(dir_.File("Velluma.reg")))
        << "the operator's settings were written";
    EXPECT_TRUE(std::filesystem::is_empty(dir_.File("tmp")))
        << "the private settings were left behind";
  }

  void StartBench(std::vector<std::string> options = {}) {
    options.insert(options.end(),
                   {"--reply-delay", "10", "--pr655-measure-ms", "2", "--pr655-quiet-wake"});
    bench_ = std::make_unique<BenchProcess>(options);
  }

  std::map<std::string, std::string> Environment() const {
    std::map<std::string, std::string> environment = {
        {"VELLUMA_SETTINGS", dir_.File("Velluma.reg")},
        {"VELLUMA_CLOCK_SCALE", "0.02"},
        {"TMPDIR", dir_.File("tmp")},
        {"VELLUMA_PORTS", dir_.File("ports")},
        {"VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH},
        {"VELLUMA_EYEONE", VELLUMA_EYEONE_PATH}};
    if (bench_) {
      environment["VELLUMA_PORTS"] = bench_->PortsDir();
      environment["VELLUMA_BENCH_SOCKET"] = bench_->SocketPath();
    }
    return environment;
  }

  CliResult Run(const Args& arguments, std::map<std::string, std::string> changes = {}) {
    auto environment = Environment();
    for (const auto& [name, value] : changes) environment[name] = value;
    return test::RunCli(arguments, environment);
  }

  test::TempDir dir_;
  std::unique_ptr<BenchProcess> bench_;
};

// ---- The command line ----

TEST_F(VellumaCliTest, BadCommandLinesGiveTheUsageAndStatus2) {
  const std::vector<std::pair<Args, std::string>> refused = {
      {{}, "velluma-cli: no command given\nUsage: velluma-cli COMMAND"},
      {{"measure", "1", "2"}, "velluma-cli: too few arguments\nUsage: velluma-cli measure R G B"},
      {{"query", "--offset-x", "0.5"}, "velluma-cli: --offset-x '0.5': the offset lies between"},
      {{"query", "--settings", dir_.File("missing.reg")},
       "velluma-cli: --settings '" + dir_.File("missing.reg") + "': No such file or directory"},
      {{"query", "--settings", dir_.File("folder")},
       "velluma-cli: --settings '" + dir_.File("folder") + "': Is a directory"},
      {{"query", "--settings", dir_.File("fifo")},
       "velluma-cli: --settings '" + dir_.File("fifo") + "': Not a regular file"},
  };
  std::filesystem::create_directory(dir_.File("folder"));
  ::mkfifo(dir_.File("fifo").c_str(), 0600);
  for (const auto& [arguments, start] : refused) {
    const CliResult result = Run(arguments);
    EXPECT_EQ(result.status, 2) << start;
    EXPECT_EQ(result.err.rfind(start, 0), 0u) << result.err;
    EXPECT_TRUE(Contains(result.err, "--help' for more information.")) << result.err;
    EXPECT_EQ(result.out, "");
  }
  const CliResult badClock = Run({"query"}, {{"VELLUMA_CLOCK_SCALE", "fast"}});
  EXPECT_EQ(badClock.status, 2);
  EXPECT_TRUE(Contains(badClock.err, "VELLUMA_CLOCK_SCALE 'fast' is not a positive number"))
      << badClock.err;
}

TEST_F(VellumaCliTest, HelpGoesToStandardOutputWithStatus0) {
  const CliResult help = Run({"auto", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: velluma-cli auto --save FILE", 0), 0u) << help.out;
  EXPECT_EQ(help.err, "");
}

TEST_F(VellumaCliTest, ASettingsErrorReachesTheTopLevelHandlerAndTheFileStaysAsItWas) {
  const std::string text = Registry("\"MonitorSpeed\"=\"fast\"\r\n");
  dir_.Write("odd.reg", text);
  const CliResult result = Run({"query", "--settings", dir_.File("odd.reg")});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "Velluma: Failed to get data for 'MonitorSpeed'\n");
  EXPECT_EQ(dir_.Read("odd.reg"), text);
}

// ---- lut-convert ----

TEST_F(VellumaCliTest, LutConvertPrintsTheMonitorTableOfEitherFormat) {
  dir_.Write("rotated.cube", kResolveCube);
  const CliResult resolve = Run({"lut-convert", dir_.File("rotated.cube"), "--format", "davinci"});
  EXPECT_EQ(resolve.status, 0) << resolve.err;
  EXPECT_EQ(PrintedTable(resolve.out), MonitorTable(Rotated));
  EXPECT_EQ(resolve.out.substr(0, resolve.out.find('\n')), "0,256,1023") << "entry 0: black";

  dir_.Write("lifted.cub", kBaselightCube);
  const CliResult baselight = Run({"lut-convert", dir_.File("lifted.cub")});
  EXPECT_EQ(baselight.status, 0) << "the default LutFileType is Baselight: " << baselight.out;
  EXPECT_EQ(PrintedTable(baselight.out), MonitorTable(LiftedAndRotated));
}

TEST_F(VellumaCliTest, LutConvertChoosesTheReaderAsTheWindowDoes) {
  dir_.Write("rotated.cube", kResolveCube);
  const CliResult byDefault = Run({"lut-convert", dir_.File("rotated.cube")});
  EXPECT_EQ(byDefault.status, 1);
  EXPECT_EQ(byDefault.out, "LUT file parse error.\n")
      << "the Baselight reader refuses a Resolve file";

  const std::string settings = Registry("\"LutFileType\"=\"Davinci Resolve\"\r\n");
  dir_.Write("resolve.reg", settings);
  EXPECT_EQ(Run({"lut-convert", dir_.File("rotated.cube"), "--settings", dir_.File("resolve.reg")})
                .status,
            0);
  EXPECT_EQ(Run({"lut-convert", dir_.File("rotated.cube"), "--settings", dir_.File("resolve.reg"),
                 "--format", "baselight"})
                .status,
            1)
      << "--format beats the setting";
  EXPECT_EQ(dir_.Read("resolve.reg"), settings);

  dir_.Write("wide.cube", "LUT_3D_SIZE 2\nLUT_3D_INPUT_RANGE 0.0 2.0\n" +
                              CubeLines(2, [](double r, double g, double b) {
                                return Rgb{r, g, b};
                              }));
  const CliResult wide = Run({"lut-convert", dir_.File("wide.cube"), "--format", "davinci"});
  EXPECT_EQ(wide.status, 1);
  EXPECT_EQ(wide.out, "DaVinci 3D LUT Input Range is invalid .\n");
}

TEST_F(VellumaCliTest, ARefusedLutFileIsExplainedOnStandardError) {
  std::filesystem::create_directory(dir_.File("folder"));
  dir_.Write("huge.cube", "LUT_3D_SIZE 5000\n0 0 0\n");
  dir_.Write("endless.cube", "LUT_3D_SIZE 2\n" + std::string(2 << 20, '0'));
  dir_.Write("table.csv", "1,2,3\n4,5000,6\n");
  const struct {
    Args arguments;
    std::string out, err;
  } cases[] = {
      {{"lut-convert", dir_.File("missing.cube")},
       "LUT file operation error.\n",
       "velluma-cli: '" + dir_.File("missing.cube") + "': No such file or directory\n"},
      {{"lut-convert", dir_.File("folder")},
       "LUT file operation error.\n",
       "velluma-cli: '" + dir_.File("folder") + "': Is a directory\n"},
      {{"lut-convert", dir_.File("huge.cube"), "--format", "davinci"},
       "LUT file operation error.\n",
       "velluma-cli: '" + dir_.File("huge.cube") + "': the table it announces is too large\n"},
      {{"lut-convert", dir_.File("endless.cube"), "--format", "davinci"},
       "LUT file parse error.\n",
       "velluma-cli: '" + dir_.File("endless.cube") + "': a line longer than 1048576 bytes\n"},
      {{"send-lut", dir_.File("table.csv"), "--memory", "USER2", "--settings",
        dir_.File("direct.reg")},
       "LUT table value out of range.\n",
       "DATA ERROR: INVALID DATA\nvelluma-cli: '" + dir_.File("table.csv") +
           "': line 2: a value outside 0..4095: 5000\n"},
  };
  dir_.Write("direct.reg", Registry("\"LUTFile\"=dword:00000001\r\n"));
  for (const auto& c : cases) {
    const CliResult result = Run(c.arguments);
    EXPECT_EQ(result.status, 1) << c.err;
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
  }
}

// ---- The transfers ----

TEST_F(VellumaCliTest, SendLutDeliversTheTableIntoTheChosenMemoryAtTheChosenSpeed) {
  StartBench();
  dir_.Write("rotated.cube", kResolveCube);
  const CliResult result = Run({"send-lut", dir_.File("rotated.cube"), "--memory", "USER2",
                                "--format", "davinci", "--monitor-speed", "38400"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "PC->MONITOR: Complete.\n");
  auto state = bench_->State();
  const std::vector<Codes> expected = MonitorTable(Rotated);
  for (int channel = 0; channel < 3; ++channel) {
    const auto codes = Numbers<int>(state["lut.USER2." + std::to_string(channel)]);
    ASSERT_EQ(codes.size(), 4096u);
    for (int entry = 0; entry < 4096; ++entry)
      ASSERT_EQ(codes[entry], expected[entry][channel]) << entry;
  }
  EXPECT_EQ(state["lut.USER1.0"], "none");
  EXPECT_EQ(state["lut.USER3.0"], "none");
  EXPECT_TRUE(Contains(bench_->Log().front(), "speed38400"))
      << "the run's speed, not the settings'";
  EXPECT_EQ(state["speed"], "9600");
}

TEST_F(VellumaCliTest, SendFilmGammaDeliversTheTableIntoTheChosenMemory) {
  StartBench();
  std::string file = "1\n7\n0\n1\n1\n0\n1\n0\n0\n";
  for (int i = 0; i < 1024; ++i) file += std::to_string(1023 - i) + "\n";
  dir_.Write("curve.csv", file);
  const CliResult result = Run({"send-film-gamma", dir_.File("curve.csv"), "--memory", "USER3"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto values = Numbers<int>(bench_->State()["filmgamma.USER3"]);
  ASSERT_EQ(values.size(), 1024u);
  EXPECT_EQ(values.front(), 1023);
  EXPECT_EQ(values[1000], 23);
  EXPECT_EQ(bench_->State()["filmgamma.USER1"], "none");
}

TEST_F(VellumaCliTest, SendCalibrationDeliversThePrimariesAndTheGreyRamp) {
  StartBench();
  std::string file =
      "[ANALYZER]\r\nCA-310\r\n[OFFSET]\r\nx=0.0000\r\ny=0.0000\r\n[COLOR]\r\n;\tY\tx\ty\r\n"
      "R\t61.234\t0.6401\t0.3299\r\nG\t180.872\t0.2998\t0.6003\r\nB\t17.015\t0.1502\t0.0598\r\n"
      "[Yxy]\r\n;\tY\tx\ty\r\n";
  for (int n = 0; n < 256; ++n)
    file += std::to_string(n) + "\t" + Number(n * 0.5) + "\t0.3127\t0.3290\r\n";
  dir_.Write("calibration.txt", file);
  const CliResult result = Run({"send-calibration", dir_.File("calibration.txt")});
  ASSERT_EQ(result.status, 0) << result.err;
  auto state = bench_->State();
  EXPECT_EQ(Numbers<double>(state["primaries"]),
            (std::vector<double>{61.234, 180.872, 17.015, 0.6401, 0.2998, 0.1502, 0.3299, 0.6003,
                                 0.0598}));
  const auto greyY = Numbers<double>(state["grey0"]);
  ASSERT_EQ(greyY.size(), 256u);
  EXPECT_DOUBLE_EQ(greyY[255], 127.5);
  EXPECT_EQ(state["grey1"].substr(0, 7), "0.3127 ");
}

TEST_F(VellumaCliTest, AFileThatDoesNotLoadOpensNoDevice) {
  StartBench();
  dir_.Write("bad.csv", "1\n7\n0\n1\n1\n0\n1\n0\n0\n2000\n");
  const CliResult filmGamma = Run({"send-film-gamma", dir_.File("bad.csv"), "--memory", "USER1"});
  EXPECT_EQ(filmGamma.status, 1);
  EXPECT_EQ(filmGamma.err, "DATA ERROR: INVALID DATA\n");

  dir_.Write("rotated.cube", kResolveCube);
  const CliResult lut = Run({"send-lut", dir_.File("rotated.cube"), "--memory", "USER1"});
  EXPECT_EQ(lut.status, 1);
  EXPECT_EQ(lut.out, "LUT file parse error.\n");
  EXPECT_EQ(lut.err, "DATA ERROR: INVALID DATA\n");

  const CliResult missing = Run({"send-calibration", dir_.File("missing.txt")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "velluma-cli: cannot open '" + dir_.File("missing.txt") +
                             "': No such file or directory\n");
  EXPECT_TRUE(bench_->Log().empty());
}

TEST_F(VellumaCliTest, ARefusedTransferEndsWithStatus2AndSaysWhetherTheMonitorAnswered) {
  dir_.Write("rotated.cube", kResolveCube);
  const Args sendLut = {"send-lut", dir_.File("rotated.cube"), "--memory", "USER1", "--format",
                        "davinci"};
  StartBench({"--fault", "C$M:WF er0"});
  const CliResult refused = Run(sendLut);
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err,
            "PC->MONITOR: monitor: NACK\nvelluma-cli: the monitor refused C$M:WF02000018000: "
            "\"ER0\"\n");
  StartBench({"--fault", "C$M:WF silent"});
  const CliResult silent = Run(sendLut);
  EXPECT_EQ(silent.status, 2);
  EXPECT_EQ(silent.err,
            "PC->MONITOR: monitor: NACK\nvelluma-cli: the monitor gave no reply to "
            "C$M:WF02000018000\n");
}

// ---- The monitor and the instrument ----

TEST_F(VellumaCliTest, QueryPrintsTheModelAndPassesOnlyTheQx7mr520) {
  StartBench();
  const CliResult found = Run({"query"});
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out, "QX-7MR520\n");
  bench_->AddFault("QID silent");
  const CliResult silent = Run({"query"});
  EXPECT_EQ(silent.status, 2);
  EXPECT_EQ(silent.err, "monitor: Communication Error\n");
  EXPECT_EQ(silent.out, "");

  StartBench({"--model", "QX-9"});
  const CliResult other = Run({"query"});
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(other.out, "QX-9\n");
}

TEST_F(VellumaCliTest, ZeroCalRunsForEveryModel) {
  StartBench();
  const CliResult pr655 = Run({"zero-cal", "--analyzer", "PR-655", "--analyzer-port", "COM2"});
  EXPECT_EQ(pr655.status, 0);
  EXPECT_EQ(pr655.err, "0-Cal.: Complete.\n");
  EXPECT_EQ(bench_->Request("log pr655"), (Args{"PHOTO", "SE0", "SK60", "SS3", "SU1", "Q"}));

  const CliResult ca = Run({"zero-cal", "--analyzer", "CA-310"});
  EXPECT_EQ(ca.status, 0);
  EXPECT_EQ(ca.err, "0-Cal.: Complete.\n");
  EXPECT_EQ(bench_->State()["ca.zero-calibrations"], "1");

  const CliResult i1 = Run({"zero-cal", "--analyzer", "i1-Pro", "--yes"});
  EXPECT_EQ(i1.status, 0);
  EXPECT_EQ(
      i1.err,
      "EyeOne Connected\nCalibration: Please set i1Pro to Calibration Plate\nCalibrate Start? Yes\n"
      "Calibrate OK\n0-Cal.: Complete.\n");
  EXPECT_EQ(bench_->State()["eyeone.calibrations"], "1");

  const CliResult declined = Run({"zero-cal", "--analyzer", "i1-Pro", "--no"});
  EXPECT_EQ(declined.status, 2);
  EXPECT_TRUE(Contains(declined.err, "Abort: 0-Cal. Abort\n")) << declined.err;

  const CliResult none = Run({"zero-cal"});
  EXPECT_EQ(none.status, 2) << "NoConnect is the default model";
  EXPECT_EQ(none.err, "0-Cal.: Analyzer: Error\n");
}

TEST_F(VellumaCliTest, MeasurePrintsThePatchAsTheBenchSeesItWithTheOffsets) {
  StartBench();
  for (const char* model : {"PR-655", "CA-310", "i1-Pro"}) {
    const CliResult result =
        Run({"measure", "255", "255", "255", "--analyzer", model, "--analyzer-port", "COM2",
             "--yes", "--offset-x", "0.01", "--offset-y=-0.002"});
    ASSERT_EQ(result.status, 0) << model << ": " << result.err;
    ASSERT_EQ(result.out.size(), 33u)
        << "three fields of 10 and a line end: '" << result.out << "'";
    const auto printed = Numbers<double>(result.out);
    const std::vector<std::string> measured = bench_->Request("measure");
    ASSERT_EQ(measured.size(), 1u);
    const auto white = Numbers<double>(measured[0]);
    ASSERT_EQ(printed.size(), 3u) << result.out;
    ASSERT_EQ(white.size(), 3u) << measured[0];
    EXPECT_NEAR(printed[0], white[0] + 0.01, 6e-5) << model;
    EXPECT_NEAR(printed[1], white[1] - 0.002, 6e-5) << model;
    EXPECT_NEAR(printed[2], white[2], 1e-3 * white[2]) << model;
    EXPECT_NEAR(printed[2], 260, 3) << model << ": full white of the bench";
    EXPECT_EQ(bench_->State()["pr655.remote"], "off") << model << ": remote mode ended";
  }
  const CliResult none = Run({"measure", "255", "255", "255"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "Measurement: Analyzer: NoConnect\n");
  EXPECT_EQ(none.out, "");
}

TEST_F(VellumaCliTest, WithoutAnAnswerTheI1ProStopsBeforeAnyByteIsSent) {
  StartBench();
  for (const Args& arguments :
       {Args{"zero-cal"}, Args{"measure", "1", "2", "3"}, Args{"auto", "--save", "x.txt"}}) {
    Args line = arguments;
    line.insert(line.end(), {"--analyzer", "i1-Pro"});
    const CliResult result = Run(line);
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_EQ(result.err.rfind(
                  "velluma-cli: the i1-Pro asks the operator to confirm: give --yes or --no\n", 0),
              0u)
        << result.err;
  }
  EXPECT_TRUE(bench_->Log().empty());
  EXPECT_TRUE(bench_->Request("log eyeone").empty());
  EXPECT_EQ(bench_->State()["pattern"], "none");
}

}  // namespace
}  // namespace velluma
