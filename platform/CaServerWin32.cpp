// The CA-SDK server on Windows: the vendor's in-process COM server, created by CoCreateInstance
// of CLSID_Ca200 and called through the vtable positions its type library gives its members.
// Strings go to it as BSTRs, collection indexes as VARIANTs of type VT_I4.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "platform/CaServer.h"
#include "platform/CaServerCom.h"
#include "platform/WideText.h"

namespace velluma {

namespace {

// IUnknown (QueryInterface, AddRef, Release) and IDispatch (GetTypeInfoCount, GetTypeInfo,
// GetIDsOfNames, Invoke) come first in every dual interface.
constexpr int kInheritedEntries = 7;

// The own entries the program calls. Every other numbered member it calls is a setter of one
// 32-bit value, except the zero calibration, which takes no argument.
constexpr int kGetCollection = 0;  // ICa200::get_Cas, ICa::get_Probes
constexpr int kGetItem = 0;        // ICas::get_Item, IProbes::get_Item
constexpr int kSetConfiguration = 1;
constexpr int kGetMemory = 2;  // ICa::get_Memory
constexpr int kZeroCalibration = 22;
constexpr int kGetLv = 8;
constexpr int kGetSy = 14;
constexpr int kGetSx = 15;

constexpr GUID kCa200Class = {
    0x006B0650, 0xAF9A, 0x4EE1, {0xB1, 0x8F, 0xB5, 0x74, 0x00, 0x04, 0xD7, 0xCE}};
constexpr GUID kICa200Interface = {
    0xDB87A8F6, 0xFAF3, 0x433A, {0xB7, 0xF3, 0x31, 0xBB, 0x4D, 0x75, 0x93, 0x61}};

using GetObjectEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, IUnknown**);
using GetItemEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, VARIANT, IUnknown**);
using GetFloatEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, float*);
using SetValueEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG);
using CommandEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown*);
using SetConfigurationEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG, BSTR, LONG, LONG);

// The member with own entry `entry` of `object`'s interface.
template <typename Function>
Function OwnEntry(IUnknown* object, int entry) {
  void** table = *reinterpret_cast<void***>(object);
  return reinterpret_cast<Function>(table[kInheritedEntries + entry]);
}

// One COM object behind a wrapper of the object model; the wrapper holds one reference.
class ComObject {
 public:
  explicit ComObject(IUnknown* object) : object_(object) {}
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

 protected:
  ~ComObject() { object_->Release(); }

  // An accessor that hands out another object, wrapped as `Wrapper` when there is one.
  template <typename Wrapper, typename Interface>
  std::int32_t Get(int entry, Interface** out) {
    IUnknown* got = nullptr;
    const HRESULT result = OwnEntry<GetObjectEntry>(object_, entry)(object_, &got);
    *out = got ? new Wrapper(got) : nullptr;
    return result;
  }

  template <typename Wrapper, typename Interface>
  std::int32_t GetItem(ca200::Variant index, Interface** out) {
    VARIANT item;
    ::VariantInit(&item);
    item.vt = static_cast<VARTYPE>(index.type);
    item.lVal = index.value;
    IUnknown* got = nullptr;
    const HRESULT result = OwnEntry<GetItemEntry>(object_, kGetItem)(object_, item, &got);
    *out = got ? new Wrapper(got) : nullptr;
    return result;
  }

  std::int32_t GetFloat(int entry, float* value) {
    return OwnEntry<GetFloatEntry>(object_, entry)(object_, value);
  }

  std::int32_t Call(int entry, std::int32_t argument) {
    if (entry == kZeroCalibration) return OwnEntry<CommandEntry>(object_, entry)(object_);
    return OwnEntry<SetValueEntry>(object_, entry)(object_, argument);
  }

  IUnknown* object_;
};

class ComProbe final : public ca200::IProbe, ComObject {
 public:
  using ComObject::ComObject;
  void Release() override { delete this; }
  std::int32_t get_sx(float* value) override { return GetFloat(kGetSx, value); }
  std::int32_t get_sy(float* value) override { return GetFloat(kGetSy, value); }
  std::int32_t get_Lv(float* value) override { return GetFloat(kGetLv, value); }
};

class ComProbes final : public ca200::IProbes, ComObject {
 public:
  using ComObject::ComObject;
  void Release() override { delete this; }
  std::int32_t get_Item(ca200::Variant index, ca200::IProbe** probe) override {
    return GetItem<ComProbe>(index, probe);
  }
};

class ComMemory final : public ca200::IMemory, ComObject {
 public:
  using ComObject::ComObject;
  void Release() override { delete this; }
  std::int32_t Invoke(std::int32_t entry, std::int32_t argument) override {
    return Call(entry, argument);
  }
};

class ComCa final : public ca200::ICa, ComObject {
 public:
  using ComObject::ComObject;
  void Release() override { delete this; }
  std::int32_t get_Probes(ca200::IProbes** probes) override {
    return Get<ComProbes>(kGetCollection, probes);
  }
  std::int32_t get_Memory(ca200::IMemory** memory) override {
    return Get<ComMemory>(kGetMemory, memory);
  }
  std::int32_t Invoke(std::int32_t entry, std::int32_t argument) override {
    return Call(entry, argument);
  }
};

class ComCas final : public ca200::ICas, ComObject {
 public:
  using ComObject::ComObject;
  void Release() override { delete this; }
  std::int32_t get_Item(ca200::Variant index, ca200::ICa** ca) override {
    return GetItem<ComCa>(index, ca);
  }
};

class ComCa200 final : public ca200::ICa200, ComObject {
 public:
  using ComObject::ComObject;
  void Release() override { delete this; }
  std::int32_t get_Cas(ca200::ICas** cas) override { return Get<ComCas>(kGetCollection, cas); }
  std::int32_t SetConfiguration(std::int32_t caNumber, const char* probeNumbers, std::int32_t port,
                                std::int32_t baudRate) override {
    BSTR probes = ::SysAllocString(WideFromUtf8(probeNumbers ? probeNumbers : "").c_str());
    const HRESULT result = OwnEntry<SetConfigurationEntry>(object_, kSetConfiguration)(
        object_, caNumber, probes, port, baudRate);
    ::SysFreeString(probes);
    return result;
  }
};

}  // namespace

ca200::ICa200* WrapComCaServer(void* server) {
  return server ? new ComCa200(static_cast<IUnknown*>(server)) : nullptr;
}

std::string CaServer::ModulePath() {
  return std::string("CLSID ") + kCa200ClassId;
}

ca200::ICa200& CaServer::Connect() {
  if (server_) return *server_;
  // The calling thread joins COM once; a thread that has joined already (the window's, as a
  // single-threaded apartment) keeps what it has.
  const HRESULT joined = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(joined) && joined != RPC_E_CHANGED_MODE)
    throw CaServerUnavailable("server not available: " +
                              SystemErrorText(static_cast<unsigned long>(joined)));
  void* server = nullptr;
  const HRESULT created = ::CoCreateInstance(kCa200Class, nullptr,
                                             CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             kICa200Interface, &server);
  if (FAILED(created) || !server)
    throw CaServerUnavailable("server not available: " +
                              SystemErrorText(static_cast<unsigned long>(created)));
  server_ = WrapComCaServer(server);
  owned_ = true;
  return *server_;
}

}  // namespace velluma
