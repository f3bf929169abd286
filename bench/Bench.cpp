#include "bench/Bench.h"

namespace velluma::bench {

Bench::Bench(const BenchOptions& options)
    : dir_(PreparedDirectory(options.portsDir)),
      state_(options.model),
      faults_(LoadFaults(options)),
      display_(options.display),
      monitor_(dir_ / "COM1", state_, faults_,
               {options.replyDelay, options.lineRate, options.address}),
      pr655_(dir_ / "COM2", state_, display_, faults_, instruments_.pr655,
             {options.replyDelay, options.pr655RemoteDelay, options.pr655MeasureTime,
              options.pr655QuietWake}),
      requests_({state_, faults_, display_, instruments_}, [this] { loop_.Stop(); }),
      control_(dir_ / "bench.sock", RequestHandler()),
      signals_([this] { loop_.Stop(); }) {
  state_.SelectMemory(options.memory);
  loop_.Add(monitor_);
  loop_.Add(pr655_);
  loop_.Add(control_);
  if (options.controlTcpPort) {
    loop_.Add(tcpControl_.emplace(*options.controlTcpPort, dir_ / "bench.tcp", RequestHandler()));
  }
  loop_.Add(signals_);
}

ControlServer::Handler Bench::RequestHandler() {
  return [this](const std::string& request) { return requests_.Answer(request); };
}

std::filesystem::path Bench::PreparedDirectory(const std::string& dir) {
  std::filesystem::create_directories(dir);
  return std::filesystem::absolute(dir);
}

FaultScript Bench::LoadFaults(const BenchOptions& options) {
  FaultScript faults;
  for (const std::string& file : options.faultFiles) faults.LoadFile(file);
  for (const std::string& rule : options.faultRules) faults.AddLine(rule);
  return faults;
}

void Bench::Run(std::ostream& out) {
  out << "ready" << std::endl;
  loop_.Run();
}

}  // namespace velluma::bench
