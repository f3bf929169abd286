#include "platform/CaServer.h"

namespace velluma {

CaServer& CaServer::Process() {
  static CaServer server;
  return server;
}

CaServer::~CaServer() {
  if (owned_ && server_) server_->Release();
}

}  // namespace velluma
