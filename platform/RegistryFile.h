#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryValue.h"
#include "platform/SettingsKey.h"

namespace velluma {

// The settings key kept as a text file in the Windows registry export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Quillem\Velluma]
//   "AnalizerModel"="NoConnect"              REG_SZ
//   "AnalizerSpeed"=dword:00002580           REG_DWORD
//   "Note"=hex(2):41,00,42,00,00,00          REG_EXPAND_SZ, UTF-16LE as regedit writes it
//   "Blob"=hex:01,02,03,04                   REG_BINARY (hex(N): any other type N)
//
// A hex value may continue on the next lines after a trailing backslash; a line that is blank or
// starts a value ('"', or '@=') or a section ('[') is never a continuation, so a cut-off value
// cannot swallow the value after it. Value names compare case-insensitively; of duplicates the last
// one counts.
//
// The file belongs to the person as much as to the program, so a write changes only what it must:
// the line (continuation lines included) of a value being set is replaced where it stands, a new
// value goes after the last non-blank line of the key section, in the file's own line end, and a
// missing key section is appended. Every other byte stays as it was: the header, a UTF-8 byte
// order mark, blank lines, comments, lines that are not values, other sections. The file is read
// afresh by every Open and replaced atomically (temporary file, then rename) by every Set.
class RegistryFile final : public SettingsKey {
 public:
  static constexpr const char* kKeyName = "HKEY_LOCAL_MACHINE\\Software\\Quillem\\Velluma";
  static constexpr std::size_t kMaxFileBytes = 1 << 20;

  explicit RegistryFile(std::string path) : path_(std::move(path)) {}

  // Reads the key, creating the file (and its folders) when it does not exist yet. False when the
  // file can be neither read nor created, is larger than kMaxFileBytes, or is not a regular file
  // (a folder, a FIFO, a device); such a file is never replaced.
  bool Open() override;

  std::optional<RegistryValue> Query(const std::string& name) const override;

  // Creates or replaces values and writes the file at once, all of them in one write. False, and
  // nothing written, on a key that did not open.
  bool SetAll(const Values& values) override;

  // A copy of the file, byte for byte; nothing when there is no file. Only a regular file is
  // copied: a FIFO or a folder in its place is named, with the reason.
  void ExportTo(const std::string& file) const override;

 private:
  // One value of the key and the bytes of text_ it was read from.
  struct Entry {
    std::string name;  // as the file spells it
    RegistryValue value;
    std::size_t begin;  // its first line
    std::size_t end;    // the end of its last line, before that line's line end
  };

  void Parse();
  std::optional<std::size_t> FindLast(const std::string& name) const;
  std::string Edited(const std::vector<std::pair<std::string, RegistryValue>>& values) const;
  bool Write(std::string contents, bool creating);

  std::string path_;
  bool opened_ = false;
  std::string text_;            // the file as read (or last written), byte for byte
  std::vector<Entry> entries_;  // the key's values in file order, duplicates included
  bool keyFound_ = false;       // whether text_ has the key section
  std::size_t keyEnd_ = 0;      // just after the key's last non-blank line: where values go
  std::string lineEnd_ = "\n";  // the file's own line end, "\n" or "\r\n"
};

}  // namespace velluma
