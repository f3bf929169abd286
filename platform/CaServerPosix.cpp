// The CA-SDK server on POSIX: a server module, a shared library exporting the factory of
// platform/CaServerInterface.h.
#include "platform/CaServer.h"
#include "platform/Environment.h"

namespace velluma {

std::string CaServer::ModulePath() {
  if (std::string path = EnvironmentValue("VELLUMA_CA_SERVER"); !path.empty()) return path;
  return SharedLibrary::InstalledPath("ca200srvr");
}

ca200::ICa200& CaServer::Connect() {
  if (server_) return *server_;
  const std::string path = ModulePath();
  if (!module_.Load(path))
    throw CaServerUnavailable("server not available: " + module_.LastError());
  auto create = reinterpret_cast<ca200::CreateServerFunction>(module_.Symbol(ca200::kFactoryName));
  ca200::ICa200* server = create ? create() : nullptr;
  if (!server) {
    module_.Unload();
    throw CaServerUnavailable("server not available: " + path + " made no server object");
  }
  server_ = server;
  owned_ = true;
  return *server_;
}

}  // namespace velluma
