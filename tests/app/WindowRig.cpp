#include "tests/app/WindowRig.h"

#include "calibration/StationSettings.h"
#include "history/OpenHistory.h"
#include "tests/app/SampleHistory.h"
#include "tests/support/Environment.h"

namespace velluma::test {

WindowRig::WindowRig(double clockScale) : clock(clockScale) {
  settings.LoadSettings(setting::kAll);
  settings.WriteStringSetting("MonitorPort", dir.File("no-monitor"));
}

WindowRig::~WindowRig() {
  if (!measuresThroughBench_) return;
  UnsetEnvironment("VELLUMA_BENCH_SOCKET");
  UnsetEnvironment("VELLUMA_CA_SERVER");
}

std::unique_ptr<TTonwickForm> WindowRig::Start() {
  auto window = std::make_unique<TTonwickForm>(settings, clock);
  window->messageBoxHook = [this](const std::string& text, const std::string& caption, int flags) {
    boxes.push_back({text, caption, flags});
    if (answers.empty()) return int{Operator::kAnswerOk};
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  };
  window->FormCreate();
  return window;
}

std::vector<std::string> WindowRig::BoxTexts() const {
  std::vector<std::string> texts;
  for (const Box& box : boxes) texts.push_back(box.text);
  return texts;
}

void WindowRig::MeasureThrough(const BenchProcess& bench) {
  settings.WriteStringSetting("MonitorPort", bench.MonitorDevice());
  settings.WriteStringSetting("AnalizerModel", "CA-310");
  SetEnvironment("VELLUMA_BENCH_SOCKET", bench.SocketPath().c_str());
  SetEnvironment("VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH);
  measuresThroughBench_ = true;
}

std::string WindowRig::SampleHistoryFile() const {
  const std::string location = dir.File("history.db");
  WriteSampleHistory(*history::OpenHistory(location));
  return location;
}

BenchWindowRig::BenchWindowRig(std::vector<std::string> benchOptions, double clockScale)
    : WindowRig(clockScale), bench(std::move(benchOptions)) {
  settings.WriteStringSetting("MonitorPort", bench.MonitorDevice());
}

}  // namespace velluma::test
