// Windows: the CA-SDK server's COM binding calls each member at the vtable position its type
// library gives it (seven inherited entries, then the own entries), with the arguments in the
// shapes the server takes: a BSTR for the probe numbers, a VT_I4 VARIANT for a collection's
// index, 32-bit values for the setters, none for the zero calibration. The objects here are COM
// objects of the test's own whose every entry records what reached it.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/CaServerCom.h"

namespace velluma {
namespace {

constexpr int kInherited = 7;
constexpr int kOwnEntries = 40;  // more than any interface has: ICa's last is 36

std::vector<std::string> calls;  // what reached the objects, in order
int liveObjects = 0;

// A COM object: the vtable pointer first, as COM lays it out, then the test's bookkeeping.
struct FakeObject {
  void** vtable;
  const char* name;
  HRESULT result;  // what every own entry returns
  ULONG references = 1;
};

void Record(FakeObject* self, int entry, const std::string& arguments) {
  calls.push_back(std::string(self->name) + " " + std::to_string(entry) +
                  (arguments.empty() ? "" : ": " + arguments));
}

ULONG STDMETHODCALLTYPE Release(FakeObject* self) {
  if (--self->references == 0) --liveObjects;
  return self->references;
}
HRESULT STDMETHODCALLTYPE NotCalled(FakeObject* self) {
  calls.push_back(std::string(self->name) + " inherited entry called");
  return E_NOTIMPL;
}

// An object of one interface, as an accessor hands it out; it answers as its parent does.
FakeObject* Make(const char* name, void** vtable, HRESULT result = S_OK) {
  ++liveObjects;
  return new FakeObject{vtable, name, result};
}

template <int Entry>
HRESULT STDMETHODCALLTYPE Setter(FakeObject* self, LONG value) {
  Record(self, Entry, std::to_string(value));
  return self->result;
}
HRESULT STDMETHODCALLTYPE Command(FakeObject* self) {
  Record(self, 22, "");
  return self->result;
}
template <int Entry>
HRESULT STDMETHODCALLTYPE GetFloat(FakeObject* self, float* value) {
  Record(self, Entry, "");
  *value = static_cast<float>(Entry) / 100;
  return self->result;
}
template <int Entry, const char* Name, std::array<void*, kInherited + kOwnEntries>* Table>
HRESULT STDMETHODCALLTYPE GetObject(FakeObject* self, FakeObject** out) {
  Record(self, Entry, "");
  *out = Make(Name, Table->data(), self->result);
  return self->result;
}
template <const char* Name, std::array<void*, kInherited + kOwnEntries>* Table>
HRESULT STDMETHODCALLTYPE GetItem(FakeObject* self, VARIANT index, FakeObject** out) {
  Record(self, 0, "vt " + std::to_string(index.vt) + " value " + std::to_string(index.lVal));
  *out = Make(Name, Table->data(), self->result);
  return self->result;
}
HRESULT STDMETHODCALLTYPE SetConfiguration(FakeObject* self, LONG ca, BSTR probes, LONG port,
                                           LONG baud) {
  const std::wstring text(probes, ::SysStringLen(probes));
  Record(self, 1, std::to_string(ca) + " \"" + std::string(text.begin(), text.end()) + "\" " +
                      std::to_string(port) + " " + std::to_string(baud));
  return self->result;
}

// A vtable whose own entries are all 32-bit setters, with `specials` put over them.
template <std::size_t... Entries>
std::array<void*, kInherited + kOwnEntries> Table(
    std::index_sequence<Entries...>, std::initializer_list<std::pair<int, void*>> specials) {
  std::array<void*, kInherited + kOwnEntries> table{};
  table.fill(reinterpret_cast<void*>(&NotCalled));
  table[2] = reinterpret_cast<void*>(&Release);
  ((table[kInherited + Entries] = reinterpret_cast<void*>(&Setter<Entries>)), ...);
  for (const auto& [entry, function] : specials) table[kInherited + entry] = function;
  return table;
}
constexpr auto kEntries = std::make_index_sequence<kOwnEntries>();

constexpr char kCas[] = "ICas", kCa[] = "ICa", kProbes[] = "IProbes", kProbe[] = "IProbe",
               kMemory[] = "IMemory";
std::array<void*, kInherited + kOwnEntries> probe =
    Table(kEntries, {{8, reinterpret_cast<void*>(&GetFloat<8>)},
                     {14, reinterpret_cast<void*>(&GetFloat<14>)},
                     {15, reinterpret_cast<void*>(&GetFloat<15>)}});
std::array<void*, kInherited + kOwnEntries> probes =
    Table(kEntries, {{0, reinterpret_cast<void*>(&GetItem<kProbe, &probe>)}});
std::array<void*, kInherited + kOwnEntries> memory = Table(kEntries, {});
std::array<void*, kInherited + kOwnEntries> ca =
    Table(kEntries, {{0, reinterpret_cast<void*>(&GetObject<0, kProbes, &probes>)},
                     {2, reinterpret_cast<void*>(&GetObject<2, kMemory, &memory>)},
                     {22, reinterpret_cast<void*>(&Command)}});
std::array<void*, kInherited + kOwnEntries> cas =
    Table(kEntries, {{0, reinterpret_cast<void*>(&GetItem<kCa, &ca>)}});
std::array<void*, kInherited + kOwnEntries> server =
    Table(kEntries, {{0, reinterpret_cast<void*>(&GetObject<0, kCas, &cas>)},
                     {1, reinterpret_cast<void*>(&SetConfiguration)}});

TEST(CaServerComTest, EveryCallReachesItsVtablePositionWithItsArguments) {
  calls.clear();
  liveObjects = 0;
  ca200::ICa200* ca200 = WrapComCaServer(Make("ICa200", server.data()));
  ca200::ICas* instruments = nullptr;
  ca200::ICa* instrument = nullptr;
  ca200::IProbes* probeList = nullptr;
  ca200::IProbe* probeOne = nullptr;
  ca200::IMemory* memoryObject = nullptr;
  float sx = 0, sy = 0, lv = 0;

  // The driver's set-up, then one zero calibration and one measurement.
  ca200->SetConfiguration(1, "1", 3, 9600);
  ca200->get_Cas(&instruments);
  ASSERT_NE(instruments, nullptr);
  instruments->get_Item(ca200::Variant{ca200::Variant::kVtI4, 1}, &instrument);
  ASSERT_NE(instrument, nullptr);
  instrument->get_Probes(&probeList);
  ASSERT_NE(probeList, nullptr);
  probeList->get_Item(ca200::Variant{ca200::Variant::kVtI4, 1}, &probeOne);
  ASSERT_NE(probeOne, nullptr);
  instrument->get_Memory(&memoryObject);
  ASSERT_NE(memoryObject, nullptr);
  memoryObject->Invoke(1, 4);
  for (const auto& [entry, value] : {std::pair{7, 0}, {9, 0}, {13, 2}, {11, 1}, {36, 1}})
    instrument->Invoke(entry, value);
  instrument->Invoke(22, 99);  // the zero calibration takes no argument
  instrument->Invoke(23, 1);
  probeOne->get_sx(&sx);
  probeOne->get_sy(&sy);
  probeOne->get_Lv(&lv);

  const std::vector<std::string> expected = {
      "ICa200 1: 1 \"1\" 3 9600",
      "ICa200 0",
      "ICas 0: vt 3 value 1",
      "ICa 0",
      "IProbes 0: vt 3 value 1",
      "ICa 2",
      "IMemory 1: 4",
      "ICa 7: 0",
      "ICa 9: 0",
      "ICa 13: 2",
      "ICa 11: 1",
      "ICa 36: 1",
      "ICa 22",
      "ICa 23: 1",
      "IProbe 15",
      "IProbe 14",
      "IProbe 8",
  };
  EXPECT_EQ(calls, expected);
  EXPECT_FLOAT_EQ(sx, 0.15f);
  EXPECT_FLOAT_EQ(sy, 0.14f);
  EXPECT_FLOAT_EQ(lv, 0.08f);

  for (ca200::IServerObject* object : std::initializer_list<ca200::IServerObject*>{
           probeOne, probeList, memoryObject, instrument, instruments, ca200})
    object->Release();
  EXPECT_EQ(liveObjects, 0) << "every COM object is released once";
}

// The server's 32-bit results come back as they are: failures negative, other success codes
// positive, for the driver to judge.
TEST(CaServerComTest, ResultsPassThroughUnchanged) {
  for (const HRESULT result : {S_OK, static_cast<HRESULT>(0x0001019C), E_FAIL}) {
    FakeObject* serverObject = Make("ICa200", server.data(), result);
    ca200::ICa200* wrapped = WrapComCaServer(serverObject);
    ca200::ICas* instruments = nullptr;
    EXPECT_EQ(wrapped->get_Cas(&instruments), result);
    ca200::ICa* instrument = nullptr;
    EXPECT_EQ(instruments->get_Item({}, &instrument), result);
    EXPECT_EQ(instrument->Invoke(23, 1), result);
    instrument->Release();
    instruments->Release();
    wrapped->Release();
  }
}

}  // namespace
}  // namespace velluma
