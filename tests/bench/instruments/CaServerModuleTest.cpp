// The bench's CA server module, loaded with dlopen as the program loads it, against a running
// bench and without one. The calls follow the order in which the CA driver makes them.
#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/CaServerInterface.h"
#include "tests/support/BenchProcess.h"

namespace velluma::bench {
namespace {

using ca200::Variant;

// The loaded module; its factory and the objects it hands out.
class Module {
 public:
  Module() : handle_(::dlopen(VELLUMA_CA_SERVER_PATH, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) throw std::runtime_error(::dlerror());
  }
  ~Module() { ::dlclose(handle_); }
  ca200::CreateServerFunction Factory() const {
    return reinterpret_cast<ca200::CreateServerFunction>(::dlsym(handle_, ca200::kFactoryName));
  }

 private:
  void* handle_;
};

// Releases a server object when it goes.
struct Releaser {
  void operator()(ca200::IServerObject* object) const {
    if (object != nullptr) object->Release();
  }
};
template <typename Interface>
using Held = std::unique_ptr<Interface, Releaser>;

// Every reference the CA driver keeps, obtained in its order.
struct Instrument {
  Held<ca200::ICas> cas;
  Held<ca200::ICa> ca;
  Held<ca200::IProbes> probes;
  Held<ca200::IProbe> probe;
  Held<ca200::IMemory> memory;
};

Variant First() {
  return Variant{Variant::kVtI4, 1};
}

int32_t LowBits(int32_t result) {
  return result & 0xFFFF;
}

class CaServerModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("VELLUMA_BENCH_SOCKET", bench_.SocketPath().c_str(), 1);
    ASSERT_NE(module_.Factory(), nullptr);
    server_.reset(module_.Factory()());
    ASSERT_NE(server_, nullptr);
  }

  // The driver's set-up: configuration, the references, the setters, remote mode off.
  Instrument SetUpLikeTheDriver(int32_t memoryValue) {
    Instrument instrument;
    EXPECT_EQ(server_->SetConfiguration(1, "1", 3, 9600), ca200::kOk);
    ca200::ICas* cas = nullptr;
    ca200::ICa* ca = nullptr;
    ca200::IProbes* probes = nullptr;
    ca200::IProbe* probe = nullptr;
    ca200::IMemory* memory = nullptr;
    EXPECT_EQ(server_->get_Cas(&cas), ca200::kOk);
    instrument.cas.reset(cas);
    if (cas == nullptr) return instrument;
    EXPECT_EQ(cas->get_Item(First(), &ca), ca200::kOk);
    instrument.ca.reset(ca);
    EXPECT_EQ(ca->get_Probes(&probes), ca200::kOk);
    instrument.probes.reset(probes);
    EXPECT_EQ(probes->get_Item(First(), &probe), ca200::kOk);
    instrument.probe.reset(probe);
    EXPECT_EQ(ca->get_Memory(&memory), ca200::kOk);
    instrument.memory.reset(memory);
    EXPECT_EQ(memory->Invoke(1, memoryValue), ca200::kOk);
    for (auto [entry, value] : {std::pair{7, 0}, {9, 0}, {13, 2}, {11, 1}, {36, 0}}) {
      EXPECT_EQ(ca->Invoke(entry, value), ca200::kOk);
    }
    return instrument;
  }

  BenchProcess bench_{{"--reply-delay", "1"}};
  Module module_;
  Held<ca200::ICa200> server_;
};

TEST_F(CaServerModuleTest, RecordsTheSetupCallsInOrder) {
  Instrument instrument = SetUpLikeTheDriver(4);
  ASSERT_NE(instrument.probe, nullptr);
  EXPECT_EQ(instrument.ca->Invoke(36, 1), ca200::kOk);
  EXPECT_EQ(
      bench_.Request("log ca"),
      (std::vector<std::string>{"SetConfiguration 1 1 3 9600", "get_Cas", "Cas.get_Item 1",
                                "Ca.get_Probes", "Probes.get_Item 1", "Ca.get_Memory", "Memory.1 4",
                                "Ca.7 0", "Ca.9 0", "Ca.13 2", "Ca.11 1", "Ca.36 0", "Ca.36 1"}));
  auto state = bench_.State();
  EXPECT_EQ(state["ca.config"], "1 1 3 9600");
  EXPECT_EQ(state["ca.remote"], "1");
}

TEST_F(CaServerModuleTest, MeasuresThePatchTheMonitorShows) {
  Instrument instrument = SetUpLikeTheDriver(0);
  ASSERT_NE(instrument.probe, nullptr);
  EXPECT_EQ(instrument.ca->Invoke(22, 0), ca200::kOk);
  struct Case {
    int r, g, b;
    float sx, sy, lv;
  };
  const std::vector<Case> cases = {{255, 255, 255, 0.3127f, 0.3290f, 260.0f},
                                   {0, 0, 0, 0.3127f, 0.3290f, 0.2f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.r);
    bench_.ShowPatch(c.r, c.g, c.b);
    EXPECT_EQ(instrument.ca->Invoke(23, 1), ca200::kOk);
    float sx = -1, sy = -1, lv = -1;
    EXPECT_EQ(instrument.probe->get_sx(&sx), ca200::kOk);
    EXPECT_EQ(instrument.probe->get_sy(&sy), ca200::kOk);
    EXPECT_EQ(instrument.probe->get_Lv(&lv), ca200::kOk);
    EXPECT_NEAR(sx, c.sx, 1e-5);
    EXPECT_NEAR(sy, c.sy, 1e-5);
    EXPECT_NEAR(lv, c.lv, 1e-3);
  }
  auto state = bench_.State();
  EXPECT_EQ(state["ca.measurements"], "2");
  EXPECT_EQ(state["ca.zero-calibrations"], "1");
  std::vector<std::string> log = bench_.Request("log ca");
  EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
            (std::vector<std::string>{"Ca.23 1", "Probe.get_sx", "Probe.get_sy", "Probe.get_Lv"}));
}

TEST_F(CaServerModuleTest, FaultsGiveTheirCodesAndFailures) {
  Instrument instrument = SetUpLikeTheDriver(4);
  ASSERT_NE(instrument.probe, nullptr);
  struct Case {
    std::string rule;
    int32_t entry;
    int32_t result;
  };
  const std::vector<Case> cases = {
      {"ca:zero code 412", 22, 412},
      {"ca:zero code 0x0001019C", 22, 0x0001019C},
      {"ca:Ca.22 fail", 22, static_cast<int32_t>(0x80004005)},
      {"ca:measure code 523", 23, 523},
      {"ca:Ca.23 code 7", 23, 7},
      {"ca:remote fail", 36, static_cast<int32_t>(0x80004005)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    bench_.Clear();
    bench_.AddFault(c.rule);
    EXPECT_EQ(instrument.ca->Invoke(c.entry, c.entry == 22 ? 0 : 1), c.result);
  }
  EXPECT_EQ(LowBits(0x0001019C), 412);
  EXPECT_EQ(bench_.State()["ca.measurements"], "0");

  // A refused read leaves the caller's value; the other reads go on.
  bench_.Clear();
  bench_.AddFault("ca:sx fail");
  bench_.ShowPatch(255, 255, 255);
  ASSERT_EQ(instrument.ca->Invoke(23, 1), ca200::kOk);
  float sx = -1, lv = -1;
  EXPECT_LT(instrument.probe->get_sx(&sx), 0);
  EXPECT_EQ(sx, -1);
  EXPECT_EQ(instrument.probe->get_Lv(&lv), ca200::kOk);
  EXPECT_NEAR(lv, 260.0f, 1e-3);
}

TEST_F(CaServerModuleTest, RefusedCollectionOrItemsGiveNoObject) {
  const std::vector<std::string> rules = {"ca:collection refuse", "ca:get_Cas code 0x80004005"};
  for (const std::string& rule : rules) {
    SCOPED_TRACE(rule);
    bench_.Clear();
    bench_.AddFault(rule);
    ca200::ICas* cas = reinterpret_cast<ca200::ICas*>(&bench_);
    EXPECT_LT(server_->get_Cas(&cas), 0);
    EXPECT_EQ(cas, nullptr);
  }
  bench_.Clear();
  ca200::ICas* cas = nullptr;
  ASSERT_EQ(server_->get_Cas(&cas), ca200::kOk);
  Held<ca200::ICas> heldCas(cas);
  ca200::ICa* ca = nullptr;
  EXPECT_LT(cas->get_Item(Variant{Variant::kVtI4, 2}, &ca), 0);  // one instrument only
  EXPECT_EQ(ca, nullptr);
  EXPECT_LT(cas->get_Item(Variant{8, 1}, &ca), 0);  // not a VT_I4
  bench_.AddFault("ca:instrument fail");
  EXPECT_LT(cas->get_Item(First(), &ca), 0);
  EXPECT_EQ(ca, nullptr);
}

// The driver may release its references in any order; the probe keeps the last values.
TEST_F(CaServerModuleTest, ObjectsOutliveTheOnesThatMadeThem) {
  Instrument instrument = SetUpLikeTheDriver(4);
  ASSERT_NE(instrument.probe, nullptr);
  bench_.ShowPatch(255, 255, 255);
  ASSERT_EQ(instrument.ca->Invoke(23, 1), ca200::kOk);
  server_.reset();
  instrument.cas.reset();
  instrument.ca.reset();
  instrument.probes.reset();
  float sy = 0;
  EXPECT_EQ(instrument.probe->get_sy(&sy), ca200::kOk);
  EXPECT_NEAR(sy, 0.3290f, 1e-5);
  EXPECT_EQ(instrument.memory->Invoke(1, 0), ca200::kOk);
}

TEST(CaServerModuleAlone, WithoutABenchThereIsNoInstrumentButConfigurationIsAccepted) {
  Module module;
  const std::string nowhere = "/nonexistent/velluma/bench.sock";
  const std::vector<std::pair<const char*, std::string>> settings = {
      {"VELLUMA_BENCH_SOCKET", nowhere},
      {"VELLUMA_PORTS", "/nonexistent/velluma/ports"},
      {"HOME", "/nonexistent/velluma/home"},
  };
  ::unsetenv("VELLUMA_BENCH_SOCKET");
  ::unsetenv("VELLUMA_PORTS");
  for (auto it = settings.rbegin(); it != settings.rend(); ++it) {
    SCOPED_TRACE(it->first);
    ::setenv(it->first, it->second.c_str(), 1);
    Held<ca200::ICa200> server(module.Factory()());
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->SetConfiguration(1, "1", 0, 9600), ca200::kOk);
    ca200::ICas* cas = nullptr;
    EXPECT_LT(server->get_Cas(&cas), 0);
    EXPECT_EQ(cas, nullptr);
  }
}

// Each way of finding the socket reaches a running bench.
TEST(CaServerModuleDiscovery, FindsTheBenchByEachVariable) {
  BenchProcess bench({"--reply-delay", "1"});
  Module module;
  std::string home = bench.PortsDir() + "/home";
  std::string portsUnderHome = home + "/.config/Quillem/Velluma/ports";
  std::filesystem::create_directories(portsUnderHome);
  std::filesystem::create_symlink(bench.SocketPath(), portsUnderHome + "/bench.sock");
  struct Case {
    std::string socket, ports, home;  // empty: not set
  };
  const std::string nowhere = "/nonexistent";
  const std::vector<Case> cases = {
      {"", "", home}, {"", bench.PortsDir(), nowhere}, {bench.SocketPath(), nowhere, nowhere}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.socket + "|" + c.ports + "|" + c.home);
    for (auto [name, value] : {std::pair{"VELLUMA_BENCH_SOCKET", c.socket},
                               {"VELLUMA_PORTS", c.ports},
                               {"HOME", c.home}}) {
      value.empty() ? ::unsetenv(name) : ::setenv(name, value.c_str(), 1);
    }
    Held<ca200::ICa200> server(module.Factory()());
    ca200::ICas* cas = nullptr;
    EXPECT_EQ(server->get_Cas(&cas), ca200::kOk);
    Held<ca200::ICas> held(cas);
  }
  EXPECT_EQ(bench.Request("log ca"), (std::vector<std::string>{"get_Cas", "get_Cas", "get_Cas"}));
}

}  // namespace
}  // namespace velluma::bench
