// The CA-SDK server's stand-in on Windows: an in-process COM server for CLSID_Ca200 whose
// objects are ICa200, ICas, ICa, IProbes, IProbe and IMemory laid out by position, as a client
// that binds the server by position calls them: IUnknown's three entries, IDispatch's four, then
// the interface's own entries, numbered from 0.
//
// The work is the bench's CA server module's (bench/instruments/CaServerModule.cpp, built into
// this library): each COM object holds one object of that module and forwards to it, so every
// call is reported to the bench, faulted and measured exactly as on Linux. Only the binary
// layout, reference counting, the class factory and registration are this file's own.
//
// Own entries implemented (all others, and IDispatch's late binding, answer E_NOTIMPL):
//   ICa200   0 get_Cas(ICas**)                 1 SetConfiguration(LONG, BSTR, LONG, LONG)
//   ICas     0 get_Item(VARIANT, ICa**)
//   ICa      0 get_Probes(IProbes**)           2 get_Memory(IMemory**)
//            7, 9, 11, 13, 36 setters(LONG)    22 zero calibration()    23 measurement(LONG)
//   IProbes  0 get_Item(VARIANT, IProbe**)
//   IProbe   8 get_Lv(float*)                  14 get_sy(float*)        15 get_sx(float*)
//   IMemory  1 setter(LONG)
//
// Built for 64-bit and 32-bit Windows. On 32-bit Windows a COM entry removes its own arguments
// from the stack, so every entry must take exactly its arguments: IDispatch's have their own
// E_NOTIMPL functions, and the interfaces' unimplemented entries take one 4-byte argument, as the
// object model's property accessors and setters do (a pointer or a LONG); the program calls none
// of them.
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/CaServerInterface.h"

// The bench's CA server module's factory (CaServerModule.cpp).
extern "C" ca200::ICa200* CreateCa200Server();

namespace velluma::winstandins {
namespace {

// The server's class and interface identifiers.
constexpr CLSID kClsidCa200 = {
    0x006B0650, 0xAF9A, 0x4EE1, {0xB1, 0x8F, 0xB5, 0x74, 0x00, 0x04, 0xD7, 0xCE}};
constexpr IID kIidICa200 = {
    0xDB87A8F6, 0xFAF3, 0x433A, {0xB7, 0xF3, 0x31, 0xBB, 0x4D, 0x75, 0x93, 0x61}};
constexpr IID kIidICas = {
    0x5415C7C6, 0xD982, 0x46EE, {0xBA, 0x22, 0xFB, 0x6D, 0xC1, 0xAD, 0x5D, 0xE0}};
constexpr IID kIidICa = {
    0xA930F0DB, 0xF79A, 0x467A, {0x84, 0x79, 0xF8, 0x36, 0x9B, 0x06, 0x3B, 0x8D}};
constexpr IID kIidIProbes = {
    0xB455EFE8, 0x1576, 0x481C, {0xBA, 0xC6, 0xA1, 0xC5, 0x06, 0xBF, 0x4E, 0x81}};
constexpr IID kIidIProbe = {
    0xB2FDD51E, 0xCBA7, 0x45CE, {0xAF, 0x0A, 0xDD, 0x96, 0x2E, 0x46, 0xB7, 0x4F}};
constexpr IID kIidIMemory = {
    0x20EA33BB, 0x6914, 0x465A, {0xB9, 0x8E, 0x8D, 0xBD, 0x4E, 0x38, 0x6C, 0xD0}};

// The entries every dual interface inherits: IUnknown's three, then IDispatch's four.
constexpr size_t kInheritedEntries = 7;

// Objects and class-factory locks alive; the library may be unloaded when both are 0.
std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

// One entry of an interface table, whatever its type; each is called through the type its
// position gives it.
using Entry = void (*)();

template <typename Function>
Entry AsEntry(Function function) {
  return reinterpret_cast<Entry>(function);
}

// Exceptions must not cross into the caller: an allocation failure is E_OUTOFMEMORY.
template <typename Call>
HRESULT Guarded(Call call) noexcept {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT STDMETHODCALLTYPE NotImplemented(void*, void*) {
  return E_NOTIMPL;
}

// IDispatch: no type information and no late binding; the client binds by position.
HRESULT STDMETHODCALLTYPE GetTypeInfoCount(void*, UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE GetTypeInfo(void*, UINT, LCID, void**) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE GetIDsOfNames(void*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Invoke(void*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                 EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// The interface a module object stands for, and the table its COM object carries (below, with
// the members).
template <typename Inner>
struct Interface;
template <>
struct Interface<ca200::ICa200> {
  static constexpr const IID& kIid = kIidICa200;
  static const Entry* Table();
};
template <>
struct Interface<ca200::ICas> {
  static constexpr const IID& kIid = kIidICas;
  static const Entry* Table();
};
template <>
struct Interface<ca200::ICa> {
  static constexpr const IID& kIid = kIidICa;
  static const Entry* Table();
};
template <>
struct Interface<ca200::IProbes> {
  static constexpr const IID& kIid = kIidIProbes;
  static const Entry* Table();
};
template <>
struct Interface<ca200::IProbe> {
  static constexpr const IID& kIid = kIidIProbe;
  static const Entry* Table();
};
template <>
struct Interface<ca200::IMemory> {
  static constexpr const IID& kIid = kIidIMemory;
  static const Entry* Table();
};

// A COM object around one object of the bench's module: its interface pointer is the object's
// address, whose first word points at the interface's table.
template <typename Inner>
struct ComObject {
  explicit ComObject(Inner* inner) : table(Interface<Inner>::Table()), inner(inner) {
    ++liveObjects;
  }
  ~ComObject() {
    inner->Release();
    --liveObjects;
  }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  static ComObject* From(void* self) { return static_cast<ComObject*>(self); }

  const Entry* table;
  std::atomic<ULONG> references{1};
  Inner* inner;
};

template <typename Inner>
HRESULT STDMETHODCALLTYPE QueryInterface(void* self, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) &&
      !IsEqualIID(iid, Interface<Inner>::kIid)) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ++ComObject<Inner>::From(self)->references;
  *out = self;
  return S_OK;
}

template <typename Inner>
ULONG STDMETHODCALLTYPE AddRef(void* self) {
  return ++ComObject<Inner>::From(self)->references;
}

template <typename Inner>
ULONG STDMETHODCALLTYPE Release(void* self) {
  ULONG left = --ComObject<Inner>::From(self)->references;
  if (left == 0) delete ComObject<Inner>::From(self);
  return left;
}

// An interface's table: the inherited entries, then `ownEntries` own ones, E_NOTIMPL unless
// `members` gives them.
template <typename Inner>
std::vector<Entry> MakeTable(size_t ownEntries,
                             std::initializer_list<std::pair<size_t, Entry>> members) {
  std::vector<Entry> table(kInheritedEntries + ownEntries, AsEntry(&NotImplemented));
  table[0] = AsEntry(&QueryInterface<Inner>);
  table[1] = AsEntry(&AddRef<Inner>);
  table[2] = AsEntry(&Release<Inner>);
  table[3] = AsEntry(&GetTypeInfoCount);
  table[4] = AsEntry(&GetTypeInfo);
  table[5] = AsEntry(&GetIDsOfNames);
  table[6] = AsEntry(&Invoke);
  for (const auto& [position, member] : members) table[kInheritedEntries + position] = member;
  return table;
}

template <typename Inner>
Inner* InnerOf(void* self) {
  return ComObject<Inner>::From(self)->inner;
}

// Runs a member of the module that hands out an object and hands the caller a COM object around
// it; the module decides the result, also for a null `out`.
template <typename Child, typename Call>
HRESULT HandOut(void** out, Call call) {
  return Guarded([&] {
    Child* child = nullptr;
    HRESULT result = call(out != nullptr ? &child : nullptr);
    if (out == nullptr) return result;
    *out = nullptr;
    if (child == nullptr) return result;
    auto* object = new (std::nothrow) ComObject<Child>(child);
    if (object == nullptr) {
      child->Release();
      return E_OUTOFMEMORY;
    }
    *out = object;
    return result;
  });
}

// A collection's index as the module takes it: the VARIANT's type, and its value when it is a
// 32-bit integer (the module refuses any other type).
ca200::Variant IndexOf(const VARIANT& index) {
  return ca200::Variant{V_VT(&index), V_VT(&index) == VT_I4 ? V_I4(&index) : 0};
}

std::string Utf8(BSTR text) {
  if (text == nullptr) return {};
  int length = static_cast<int>(::SysStringLen(text));
  int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string converted(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, length, converted.data(), size, nullptr, nullptr);
  return converted;
}

// ---- the members, by interface ----

HRESULT STDMETHODCALLTYPE GetCas(void* self, void** cas) {
  return HandOut<ca200::ICas>(
      cas, [&](ca200::ICas** out) { return InnerOf<ca200::ICa200>(self)->get_Cas(out); });
}

HRESULT STDMETHODCALLTYPE SetConfiguration(void* self, LONG caNumber, BSTR probeNumbers, LONG port,
                                           LONG baudRate) {
  return Guarded([&] {
    return InnerOf<ca200::ICa200>(self)->SetConfiguration(caNumber, Utf8(probeNumbers).c_str(),
                                                          port, baudRate);
  });
}

HRESULT STDMETHODCALLTYPE GetCa(void* self, VARIANT index, void** ca) {
  return HandOut<ca200::ICa>(ca, [&](ca200::ICa** out) {
    return InnerOf<ca200::ICas>(self)->get_Item(IndexOf(index), out);
  });
}

HRESULT STDMETHODCALLTYPE GetProbes(void* self, void** probes) {
  return HandOut<ca200::IProbes>(
      probes, [&](ca200::IProbes** out) { return InnerOf<ca200::ICa>(self)->get_Probes(out); });
}

HRESULT STDMETHODCALLTYPE GetMemory(void* self, void** memory) {
  return HandOut<ca200::IMemory>(
      memory, [&](ca200::IMemory** out) { return InnerOf<ca200::ICa>(self)->get_Memory(out); });
}

// ICa's setters and its measurement take one value; the module knows them by their own entry.
template <int32_t kEntry>
HRESULT STDMETHODCALLTYPE CaWithValue(void* self, LONG value) {
  return Guarded([&] { return InnerOf<ca200::ICa>(self)->Invoke(kEntry, value); });
}

// The zero calibration takes no value.
template <int32_t kEntry>
HRESULT STDMETHODCALLTYPE CaWithoutValue(void* self) {
  return Guarded([&] { return InnerOf<ca200::ICa>(self)->Invoke(kEntry, 0); });
}

HRESULT STDMETHODCALLTYPE GetProbe(void* self, VARIANT index, void** probe) {
  return HandOut<ca200::IProbe>(probe, [&](ca200::IProbe** out) {
    return InnerOf<ca200::IProbes>(self)->get_Item(IndexOf(index), out);
  });
}

HRESULT STDMETHODCALLTYPE GetSx(void* self, float* value) {
  return Guarded([&] { return InnerOf<ca200::IProbe>(self)->get_sx(value); });
}

HRESULT STDMETHODCALLTYPE GetSy(void* self, float* value) {
  return Guarded([&] { return InnerOf<ca200::IProbe>(self)->get_sy(value); });
}

HRESULT STDMETHODCALLTYPE GetLv(void* self, float* value) {
  return Guarded([&] { return InnerOf<ca200::IProbe>(self)->get_Lv(value); });
}

template <int32_t kEntry>
HRESULT STDMETHODCALLTYPE MemoryWithValue(void* self, LONG value) {
  return Guarded([&] { return InnerOf<ca200::IMemory>(self)->Invoke(kEntry, value); });
}

// ---- the tables ----

const Entry* Interface<ca200::ICa200>::Table() {
  static const std::vector<Entry> kTable =
      MakeTable<ca200::ICa200>(2, {{0, AsEntry(&GetCas)}, {1, AsEntry(&SetConfiguration)}});
  return kTable.data();
}

const Entry* Interface<ca200::ICas>::Table() {
  static const std::vector<Entry> kTable = MakeTable<ca200::ICas>(1, {{0, AsEntry(&GetCa)}});
  return kTable.data();
}

const Entry* Interface<ca200::ICa>::Table() {
  static const std::vector<Entry> kTable =
      MakeTable<ca200::ICa>(37, {{0, AsEntry(&GetProbes)},
                                 {2, AsEntry(&GetMemory)},
                                 {7, AsEntry(&CaWithValue<7>)},
                                 {9, AsEntry(&CaWithValue<9>)},
                                 {11, AsEntry(&CaWithValue<11>)},
                                 {13, AsEntry(&CaWithValue<13>)},
                                 {22, AsEntry(&CaWithoutValue<22>)},
                                 {23, AsEntry(&CaWithValue<23>)},
                                 {36, AsEntry(&CaWithValue<36>)}});
  return kTable.data();
}

const Entry* Interface<ca200::IProbes>::Table() {
  static const std::vector<Entry> kTable = MakeTable<ca200::IProbes>(1, {{0, AsEntry(&GetProbe)}});
  return kTable.data();
}

const Entry* Interface<ca200::IProbe>::Table() {
  static const std::vector<Entry> kTable = MakeTable<ca200::IProbe>(
      16, {{8, AsEntry(&GetLv)}, {14, AsEntry(&GetSy)}, {15, AsEntry(&GetSx)}});
  return kTable.data();
}

const Entry* Interface<ca200::IMemory>::Table() {
  static const std::vector<Entry> kTable =
      MakeTable<ca200::IMemory>(2, {{1, AsEntry(&MemoryWithValue<1>)}});
  return kTable.data();
}

// ---- the class factory: one static object, whose references lock the library ----

struct ClassFactory {
  const Entry* table;
};

HRESULT STDMETHODCALLTYPE FactoryQueryInterface(void* self, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ++serverLocks;
  *out = self;
  return S_OK;
}

ULONG STDMETHODCALLTYPE FactoryAddRef(void*) {
  return static_cast<ULONG>(++serverLocks);
}

ULONG STDMETHODCALLTYPE FactoryRelease(void*) {
  return static_cast<ULONG>(--serverLocks);
}

HRESULT STDMETHODCALLTYPE CreateInstance(void*, IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return Guarded([&] {
    ca200::ICa200* inner = CreateCa200Server();
    if (inner == nullptr) return E_FAIL;
    auto* server = new (std::nothrow) ComObject<ca200::ICa200>(inner);
    if (server == nullptr) {
      inner->Release();
      return E_OUTOFMEMORY;
    }
    HRESULT result = QueryInterface<ca200::ICa200>(server, iid, out);
    // The caller holds the object through `out` now, or nobody does.
    Release<ca200::ICa200>(server);
    return result;
  });
}

HRESULT STDMETHODCALLTYPE LockServer(void*, BOOL lock) {
  if (lock) {
    ++serverLocks;
  } else {
    --serverLocks;
  }
  return S_OK;
}

const Entry kFactoryTable[] = {AsEntry(&FactoryQueryInterface), AsEntry(&FactoryAddRef),
                               AsEntry(&FactoryRelease), AsEntry(&CreateInstance),
                               AsEntry(&LockServer)};
ClassFactory factory{kFactoryTable};

// ---- registration: HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32 ----

std::wstring ClsidKey() {
  wchar_t text[40];
  ::StringFromGUID2(kClsidCa200, text, 40);
  return std::wstring(L"CLSID\\") + text;
}

std::wstring ThisLibraryPath() {
  HMODULE self = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ClsidKey), &self);
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = ::GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);
  }
  path.resize(length);
  return path;
}

LSTATUS SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Writes `values` (name, text; an empty name is the key's default value) under `path`.
HRESULT WriteKey(const std::wstring& path,
                 std::initializer_list<std::pair<const wchar_t*, std::wstring>> values) {
  HKEY key = nullptr;
  LSTATUS status = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                     nullptr, &key, nullptr);
  for (const auto& [name, value] : values) {
    if (status == ERROR_SUCCESS) status = SetText(key, *name != L'\0' ? name : nullptr, value);
  }
  if (key != nullptr) ::RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

}  // namespace
}  // namespace velluma::winstandins

using velluma::winstandins::factory;
using velluma::winstandins::kClsidCa200;

// The library's exports (Ca200Server.def).

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, kClsidCa200)) return CLASS_E_CLASSNOTAVAILABLE;
  return velluma::winstandins::FactoryQueryInterface(&factory, iid, out);
}

STDAPI DllCanUnloadNow() {
  return velluma::winstandins::liveObjects == 0 && velluma::winstandins::serverLocks == 0 ? S_OK
                                                                                          : S_FALSE;
}

// Both threading models: the objects keep no state tied to a thread, so a client in any
// apartment gets them directly, without marshalling (which would need a proxy for every
// interface).
STDAPI DllRegisterServer() {
  using velluma::winstandins::ClsidKey;
  using velluma::winstandins::WriteKey;
  return velluma::winstandins::Guarded([] {
    HRESULT result = WriteKey(ClsidKey(), {{L"", L"Velluma bench CA server"}});
    if (SUCCEEDED(result)) {
      result =
          WriteKey(ClsidKey() + L"\\InprocServer32",
                   {{L"", velluma::winstandins::ThisLibraryPath()}, {L"ThreadingModel", L"Both"}});
    }
    return result;
  });
}

STDAPI DllUnregisterServer() {
  return velluma::winstandins::Guarded([] {
    LSTATUS status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, velluma::winstandins::ClsidKey().c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
  });
}
