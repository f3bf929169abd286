#pragma once

// The object model of the CA-SDK server that drives the CA-210 and CA-310, as its type library
// CA200SRVRLib shapes it: ICa200 → ICas (instruments) → ICa → IProbes → IProbe, and ICa's IMemory.
// Every member returns a 32-bit result (negative: failure, 0: success, other positive values:
// success codes the caller may still refuse). Members the program names are methods; the unnamed
// setters and commands are reached by their own entry number (the member's position in its
// interface, counting from 0 after the seven entries inherited from IUnknown and IDispatch).
//
// A server module is a shared library exporting one factory, `CreateCa200Server`, which hands out
// the server object; the caller owns it and every object it hands out and ends each with
// Release(). This header is the module's interface and nothing more: whoever provides the server
// (the vendor's binding, the virtual bench) implements it on its own.

#include <cstdint>

namespace ca200 {

constexpr std::int32_t kOk = 0;

// A VARIANT as the collections take their index: type VT_I4 (3) and a 32-bit value.
struct Variant {
  static constexpr std::int32_t kVtI4 = 3;
  std::int32_t type = kVtI4;
  std::int32_t value = 0;
};

class IServerObject {
 public:
  virtual void Release() = 0;

 protected:
  virtual ~IServerObject() = default;
};

class IProbe : public IServerObject {
 public:
  // Values of the last measurement: entry 15 sx, entry 14 sy, entry 8 Lv.
  virtual std::int32_t get_sx(float* value) = 0;
  virtual std::int32_t get_sy(float* value) = 0;
  virtual std::int32_t get_Lv(float* value) = 0;
};

class IProbes : public IServerObject {
 public:
  virtual std::int32_t get_Item(Variant index, IProbe** probe) = 0;  // entry 0
};

class IMemory : public IServerObject {
 public:
  // An unnamed member by its own entry number, with one 32-bit argument.
  virtual std::int32_t Invoke(std::int32_t entry, std::int32_t argument) = 0;
};

class ICa : public IServerObject {
 public:
  virtual std::int32_t get_Probes(IProbes** probes) = 0;  // entry 0
  virtual std::int32_t get_Memory(IMemory** memory) = 0;  // entry 2
  // An unnamed member by its own entry number: setters take their value as the argument; entry
  // 36 sets the remote mode, entry 22 zero-calibrates (argument ignored), entry 23 measures.
  virtual std::int32_t Invoke(std::int32_t entry, std::int32_t argument) = 0;
};

class ICas : public IServerObject {
 public:
  virtual std::int32_t get_Item(Variant index, ICa** ca) = 0;  // entry 0
};

class ICa200 : public IServerObject {
 public:
  virtual std::int32_t get_Cas(ICas** cas) = 0;  // entry 0
  // Entry 1: CA number, probe numbers as text ("1"), port number (0 USB, n COMn), baud rate.
  virtual std::int32_t SetConfiguration(std::int32_t caNumber, const char* probeNumbers,
                                        std::int32_t port, std::int32_t baudRate) = 0;
};

// The factory every server module exports; null when no server can be made.
using CreateServerFunction = ICa200* (*)();
constexpr const char* kFactoryName = "CreateCa200Server";

}  // namespace ca200
