#include "platform/CaServer.h"

#include <cstdlib>

namespace velluma {

std::string CaServer::ModulePath() {
  if (const char* path = std::getenv("VELLUMA_CA_SERVER"); path && *path) return path;
  return "/usr/local/lib/ca200srvr.so";
}

CaServer& CaServer::Process() {
  static CaServer server;
  return server;
}

CaServer::~CaServer() {
  if (owned_ && server_) server_->Release();
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
