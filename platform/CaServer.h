#pragma once

#include <stdexcept>
#include <string>

#include "platform/CaServerInterface.h"
#include "platform/SharedLibrary.h"

namespace velluma {

// The CA-SDK server could not be had: no module at its path, or it made no server object. Not
// caught by the procedures; the top-level handler shows its text.
class CaServerUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The process-wide CA-SDK server object. The server module is found at $VELLUMA_CA_SERVER, by
// default /usr/local/lib/ca200srvr.so. The first driver construction connects it; it is kept
// until the program ends and configured again by every later construction.
class CaServer {
 public:
  static std::string ModulePath();

  // The one server of this process.
  static CaServer& Process();

  // A server handed over instead of a module (a scripted stand-in); released with this object.
  explicit CaServer(ca200::ICa200* server) : server_(server), owned_(true) {}
  CaServer() = default;
  ~CaServer();
  CaServer(const CaServer&) = delete;
  CaServer& operator=(const CaServer&) = delete;

  // The server object, connecting it on first use; CaServerUnavailable when it cannot be had.
  ca200::ICa200& Connect();

 private:
  SharedLibrary module_;
  ca200::ICa200* server_ = nullptr;
  bool owned_ = false;
};

}  // namespace velluma
