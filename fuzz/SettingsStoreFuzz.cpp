// The settings store on a settings file of any content. The input is
//
//   byte 0       the setting written first (A): its index in kNames, the top bit for an integer
//   byte 1       the setting written next (B), another one, chosen the same way
//   text, LF     A's value: the text itself, or for an integer a number made from it
//   the rest     the settings file as the store finds it
//
// Properties: a value written reads back equal after another value has been written, and every
// other setting reads as it did before both writes, so rewriting the file loses nothing of it.
#include <array>
#include <optional>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/RegistryError.h"
#include "platform/RegistryFile.h"
#include "platform/SettingsStore.h"

namespace {

using velluma::RegistryFile;
using velluma::RegistryValue;
using velluma::fuzz::Check;

// The program's settings, and two names that only a person's file would hold.
constexpr std::array<const char*, 13> kNames = {
    "AnalizerModel",   "AnalizerPort", "AnalizerSpeed", "MonitorType", "MonitorPort",
    "MonitorSpeed",    "MonitorId",    "LUTFile",       "LutFileType", "LookUpTableSendTo",
    "FilmGammaSendTo", "Note",         "Blob"};

using Snapshot = std::array<std::optional<RegistryValue>, kNames.size()>;

Snapshot Read(const std::string& path) {
  RegistryFile key(path);
  Check(key.Open(), "a settings file that is read and written here opens");
  Snapshot values;
  for (std::size_t i = 0; i < kNames.size(); ++i) values[i] = key.Query(kNames[i]);
  return values;
}

struct Setting {
  std::size_t index;
  bool integer;
};

// FNV-1a: any text gives a number, negative ones included.
std::int32_t NumberFrom(const std::string& text) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return static_cast<std::int32_t>(hash);
}

void Write(velluma::SettingsStore& store, const Setting& setting, const std::string& text) {
  const char* name = kNames[setting.index];
  if (setting.integer)
    store.WriteIntSetting(name, NumberFrom(text));
  else
    store.WriteStringSetting(name, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 2) return 0;
  const Setting a{bytes[0] % kNames.size(), (bytes[0] & 0x80) != 0};
  const Setting b{(a.index + 1 + bytes[1] % (kNames.size() - 1)) % kNames.size(),
                  (bytes[1] & 0x80) != 0};
  const std::string rest(reinterpret_cast<const char*>(bytes) + 2, size - 2);
  const std::size_t lineEnd = rest.find('\n');
  const std::string text = rest.substr(0, lineEnd);
  const std::string file = lineEnd == std::string::npos ? "" : rest.substr(lineEnd + 1);

  const std::string path = velluma::fuzz::PrivateFolder() + "/Velluma.reg";
  velluma::fuzz::WriteWholeFile(path, file);
  const Snapshot before = Read(path);

  velluma::SettingsStore store(path);
  try {
    Write(store, a, text);
    Write(store, b, text + "+");
    if (a.integer) {
      Check(store.ReadIntSetting(kNames[a.index]) == NumberFrom(text),
            "an integer written reads back after another value is written");
    } else {
      // A setting's text ends at its first NUL, as the registry's strings do.
      Check(store.ReadStringSetting(kNames[a.index]) == text.substr(0, text.find('\0')),
            "a text written reads back after another value is written");
    }
  } catch (const velluma::RegistryError& error) {
    velluma::fuzz::Fail(error.what());
  }

  const Snapshot after = Read(path);
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (i == a.index || i == b.index) continue;
    Check(after[i] == before[i], "writing two settings leaves every other setting as it was");
  }
  return 0;
}
