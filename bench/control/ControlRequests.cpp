#include "bench/control/ControlRequests.h"

#include <charconv>
#include <stdexcept>

#include "bench/control/StateReport.h"
#include "bench/monitor/MemoryNames.h"

namespace velluma::bench {
namespace {

bool StartsWith(const std::string& text, const std::string& head) {
  return text.rfind(head, 0) == 0;
}

void AppendFixed(std::string& text, double value, int decimals) {
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  text.append(buffer, result.ptr);
}

}  // namespace

ControlRequests::ControlRequests(Targets targets, std::function<void()> quit)
    : targets_(targets),
      ca_(CaServerCalls(targets.faults, targets.instruments.ca)),
      eyeone_(EyeOneCalls(targets.faults, targets.instruments.eyeone)),
      quit_(std::move(quit)) {}

std::vector<std::string> ControlRequests::Answer(const std::string& request) {
  if (request == "state") return State();
  if (request == "log" || StartsWith(request, "log ")) return Log(request);
  if (request == "measure") return Measure();
  if (request == "memory" || StartsWith(request, "memory ")) return Memory(request);
  if (StartsWith(request, "ca ")) return {ca_.Answer(request.substr(3))};
  if (StartsWith(request, "eyeone ")) return {eyeone_.Answer(request.substr(7))};
  if (StartsWith(request, "fault ")) return AddFault(request.substr(6));
  if (request == "clear") {
    targets_.faults.Clear();
    targets_.monitor.ClearLog();
    targets_.instruments.ClearLogs();
    return {"ok"};
  }
  if (request == "quit") {
    quit_();
    return {"ok"};
  }
  return {"error: unknown request \"" + request + "\""};
}

std::vector<std::string> ControlRequests::AddFault(const std::string& rule) {
  try {
    targets_.faults.AddLine(rule);
  } catch (const std::invalid_argument& error) {
    return {std::string("error: ") + error.what()};
  }
  return {"ok"};
}

std::vector<std::string> ControlRequests::Log(const std::string& request) {
  InstrumentRecords& instruments = targets_.instruments;
  if (request == "log") return targets_.monitor.Log();
  if (request == "log pr655") return instruments.pr655.Log();
  if (request == "log pr655 gaps") return instruments.pr655.DetailedLog();
  if (request == "log ca") return instruments.ca.Log();
  if (request == "log eyeone") return instruments.eyeone.Log();
  return {"error: unknown request \"" + request + "\""};
}

std::vector<std::string> ControlRequests::State() {
  std::vector<std::string> lines = StateReport(targets_.monitor);
  for (const std::string& line : DisplayReport(targets_.display.Parameters())) {
    lines.push_back(line);
  }
  for (const DeviceRecord* record :
       {&targets_.instruments.pr655, &targets_.instruments.ca, &targets_.instruments.eyeone}) {
    for (const std::string& line : record->StateLines()) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ControlRequests::Memory(const std::string& request) {
  if (request == "memory") return {SelectionName(targets_.monitor.SelectedMemory())};
  try {
    targets_.monitor.SelectMemory(ParseSelection(request.substr(std::string("memory ").size())));
  } catch (const std::invalid_argument& error) {
    return {std::string("error: ") + error.what()};
  }
  return {"ok"};
}

std::vector<std::string> ControlRequests::Measure() {
  Measurement light = targets_.display.Measure(targets_.monitor);
  std::string line;
  AppendFixed(line, light.x, 6);
  line.push_back(' ');
  AppendFixed(line, light.y, 6);
  line.push_back(' ');
  AppendFixed(line, light.Y, 4);
  return {line};
}

}  // namespace velluma::bench
