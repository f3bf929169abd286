#pragma once

// Windows only: the CA-SDK server as the vendor ships it, a COM server registered under
// CLSID_Ca200, seen through the object model of platform/CaServerInterface.h.

#include "platform/CaServerInterface.h"

namespace velluma {

// The server's class and the interface the program asks it for, from its type library.
inline constexpr const char* kCa200ClassId = "{006B0650-AF9A-4EE1-B18F-B5740004D7CE}";
inline constexpr const char* kICa200InterfaceId = "{DB87A8F6-FAF3-433A-B7F3-31BB4D759361}";

// Wraps an ICa200 interface pointer (an IUnknown*, given as void* so that this header needs no
// Windows header) in the object model. The wrapper takes over the caller's reference; every
// object it hands out calls its COM object through the vtable: the member with own entry n sits
// at position 7 + n, after IUnknown's three and IDispatch's four.
ca200::ICa200* WrapComCaServer(void* server);

}  // namespace velluma
