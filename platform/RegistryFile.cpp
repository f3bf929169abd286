#include "platform/RegistryFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/InputFile.h"
#include "platform/Utf8Path.h"

namespace velluma {

namespace {

constexpr const char* kFileHeader = "Windows Registry Editor Version 5.00";

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t\r") == line.npos;
}

// A line of its own, never the continuation of the one before it: a value ("Name"= or a section's
// default value @=) or a section.
bool StartsValueOrSection(std::string_view line) {
  return !line.empty() && (line[0] == '"' || line[0] == '[' || line.substr(0, 2) == "@=");
}

// A quoted text with \\ and \" escapes, starting at `pos`; `pos` ends after the closing quote.
bool ParseQuoted(const std::string& line, size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  out.clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < line.size()) c = line[++pos];
    out += c;
  }
  return false;
}

bool ParseHexList(const std::string& text, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (text.empty()) return true;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    size_t start = item.find_first_not_of(" \t"), end = item.find_last_not_of(" \t");
    if (start == std::string::npos) return false;
    item = item.substr(start, end - start + 1);
    if (item.size() != 2 || !std::isxdigit(static_cast<unsigned char>(item[0])) ||
        !std::isxdigit(static_cast<unsigned char>(item[1])))
      return false;
    bytes.push_back(static_cast<std::uint8_t>(std::strtoul(item.c_str(), nullptr, 16)));
  }
  return true;
}

// regedit writes string types given as hex in UTF-16LE; the settings hold 8-bit text.
std::vector<std::uint8_t> NarrowIfUtf16(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() % 2 != 0) return bytes;
  for (size_t i = 1; i < bytes.size(); i += 2)
    if (bytes[i] != 0) return bytes;
  std::vector<std::uint8_t> narrow;
  for (size_t i = 0; i < bytes.size(); i += 2) narrow.push_back(bytes[i]);
  return narrow;
}

bool ParseData(const std::string& data, RegistryValue& value) {
  if (!data.empty() && data[0] == '"') {
    size_t pos = 0;
    std::string text;
    if (!ParseQuoted(data, pos, text) || pos != data.size()) return false;
    value.type = RegSz;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return true;
  }
  if (data.rfind("dword:", 0) == 0) {
    const std::string digits = data.substr(6);
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
      return false;
    std::uint32_t number = static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    value.type = RegDword;
    value.data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                  static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
    return true;
  }
  if (data.rfind("hex:", 0) == 0) {
    value.type = RegBinary;
    return ParseHexList(data.substr(4), value.data);
  }
  if (data.rfind("hex(", 0) == 0) {
    size_t close = data.find("):");
    if (close == std::string::npos || close == 4 || close > 12) return false;
    const std::string typeDigits = data.substr(4, close - 4);
    if (!std::all_of(typeDigits.begin(), typeDigits.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
      return false;
    value.type = static_cast<std::uint32_t>(std::strtoul(typeDigits.c_str(), nullptr, 16));
    if (!ParseHexList(data.substr(close + 2), value.data)) return false;
    if (value.type == RegSz || value.type == RegExpandSz) value.data = NarrowIfUtf16(value.data);
    return true;
  }
  return false;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string HexList(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char item[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(item, sizeof item, "%02x", bytes[i]);
    if (i) out += ',';
    out += item;
  }
  return out;
}

std::string RenderData(const RegistryValue& value) {
  const auto& d = value.data;
  const bool plainText =
      !d.empty() && d.back() == 0 && std::count(d.begin(), d.end(), 0) == 1 &&
      std::none_of(d.begin(), d.end(), [](std::uint8_t c) { return c == '\n' || c == '\r'; });
  if (value.type == RegSz && plainText) return Quote(std::string(d.begin(), d.end() - 1));
  if (value.type == RegDword && d.size() == 4) {
    char text[16];
    std::uint32_t n = d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
    std::snprintf(text, sizeof text, "dword:%08x", n);
    return text;
  }
  if (value.type == RegBinary) return "hex:" + HexList(d);
  std::vector<std::uint8_t> bytes = d;
  if (value.type == RegSz || value.type == RegExpandSz) {  // back to UTF-16LE, as regedit writes
    bytes.clear();
    for (std::uint8_t c : d) bytes.insert(bytes.end(), {c, 0});
  }
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
  return prefix + HexList(bytes);
}

// Where the physical line starting at `pos` ends: `end` before its line end ("\n" or "\r\n"),
// `next` after it (both the end of the text for a last line without a line end).
void FindLineEnd(const std::string& text, size_t pos, size_t& end, size_t& next) {
  const size_t newline = text.find('\n', pos);
  if (newline == std::string::npos) {
    end = next = text.size();
    return;
  }
  next = newline + 1;
  end = newline > pos && text[newline - 1] == '\r' ? newline - 1 : newline;
}

// Whether `line` is a value line ("Name"=, or @= for a section's default value) holding a hex list,
// the only kind of value that may continue on the next line.
bool IsHexValue(const std::string& line) {
  size_t pos = 0;
  std::string name;
  if (line.rfind('@', 0) == 0)
    pos = 1;
  else if (!ParseQuoted(line, pos, name))
    return false;
  return line.compare(pos, 4, "=hex") == 0;
}

// One line as the format reads it: a physical line and, for a hex value ending in a backslash,
// the lines that continue it.
struct LogicalLine {
  size_t begin = 0;     // its first byte
  size_t end = 0;       // the end of its last physical line, before that line's line end
  size_t next = 0;      // where the line after it starts
  std::string content;  // the physical lines joined, without trailing blanks, the backslashes and
                        // the continuation lines' indentation
};

LogicalLine ReadLogicalLine(const std::string& text, size_t begin) {
  LogicalLine line;
  line.begin = begin;
  FindLineEnd(text, begin, line.end, line.next);
  line.content = TrimRight(text.substr(begin, line.end - begin));
  const bool hex = IsHexValue(line.content);
  while (hex && !line.content.empty() && line.content.back() == '\\') {
    line.content.pop_back();  // a value cut off here keeps the bytes before the backslash
    if (line.next >= text.size()) break;
    size_t end = 0, next = 0;
    FindLineEnd(text, line.next, end, next);
    const std::string_view following(text.data() + line.next, end - line.next);
    if (IsBlank(following) || StartsValueOrSection(following)) break;
    const std::string piece = TrimRight(std::string(following));
    line.content += piece.substr(piece.find_first_not_of(" \t"));
    line.end = end;
    line.next = next;
  }
  return line;
}

bool ParseValueLine(const std::string& line, std::string& name, RegistryValue& value) {
  size_t pos = 0;
  return ParseQuoted(line, pos, name) && pos < line.size() && line[pos] == '=' &&
         ParseData(line.substr(pos + 1), value);
}

size_t ByteOrderMarkSize(const std::string& text) {
  return text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
}

// The line end the file uses, taken from its first line; "\n" for a file without one.
std::string LineEndOf(const std::string& text) {
  const size_t newline = text.find('\n');
  return newline != std::string::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

// Whether the last line of `text`, which ends with a line end, is blank.
bool EndsWithBlankLine(const std::string& text) {
  std::string_view rest(text);
  rest.remove_suffix(1);
  const size_t before = rest.find_last_of('\n');
  return IsBlank(before == std::string_view::npos ? rest : rest.substr(before + 1));
}

// The whole file into `text`. False on a read error or when it holds more than kMaxFileBytes
// (it may have grown since its size was taken).
bool ReadAll(std::FILE* file, size_t expectedSize, std::string& text) {
  constexpr size_t kLimit = RegistryFile::kMaxFileBytes;
  text.resize(std::min(expectedSize, kLimit) + 1);  // the byte past the size shows growth
  size_t got = 0;
  for (;;) {
    got += std::fread(text.data() + got, 1, text.size() - got, file);
    if (got < text.size()) break;
    if (text.size() > kLimit) return false;
    text.resize(std::min(2 * text.size(), kLimit + 1));
  }
  if (std::ferror(file)) return false;
  text.resize(got);
  return true;
}

}  // namespace

bool RegistryFile::Open() {
  opened_ = false;
  text_.clear();
  Parse();
  InputFile file(path_);
  if (!file.IsOpen()) {
    // The key is created on first use. Only a path that names nothing is missing: anything else
    // that did not open (a folder, a FIFO, a device, a file without read permission) is not the
    // program's to replace.
    opened_ = file.Missing() && Write(Edited({}), true);
    return opened_;
  }
  if (file.Size() < 0 || static_cast<unsigned long long>(file.Size()) > kMaxFileBytes ||
      !ReadAll(file.Get(), static_cast<size_t>(file.Size()), text_)) {
    text_.clear();
    return false;
  }
  Parse();
  opened_ = true;
  return true;
}

void RegistryFile::Parse() {
  entries_.clear();
  keyFound_ = false;
  keyEnd_ = 0;
  lineEnd_ = LineEndOf(text_);
  const std::string keyLine = std::string("[") + kKeyName + "]";
  bool inKey = false;
  for (size_t pos = ByteOrderMarkSize(text_); pos < text_.size();) {
    const LogicalLine line = ReadLogicalLine(text_, pos);
    pos = line.next;
    if (!line.content.empty() && line.content[0] == '[') {
      inKey = EqualNoCase(line.content, keyLine);
      keyFound_ = keyFound_ || inKey;
    }
    if (!inKey || line.content.empty()) continue;
    keyEnd_ = line.next;  // of a key given twice, values go to the later one
    Entry entry{{}, {}, line.begin, line.end};
    if (ParseValueLine(line.content, entry.name, entry.value)) entries_.push_back(std::move(entry));
  }
}

std::optional<size_t> RegistryFile::FindLast(const std::string& name) const {
  for (size_t i = entries_.size(); i-- > 0;)
    if (EqualNoCase(entries_[i].name, name)) return i;
  return std::nullopt;
}

std::optional<RegistryValue> RegistryFile::Query(const std::string& name) const {
  if (auto index = FindLast(name)) return entries_[*index].value;
  return std::nullopt;
}

bool RegistryFile::SetAll(const Values& values) {
  return opened_ && Write(Edited(values), false);
}

void RegistryFile::ExportTo(const std::string& file) const {
  const InputFile source(path_);
  if (source.Missing()) return;
  if (!source.IsOpen())
    throw std::runtime_error("cannot read the settings file '" + path_ + "': " + source.Reason());
  std::filesystem::copy_file(PathFromUtf8(path_), PathFromUtf8(file));
}

// The file's text with `values` set: existing values rewritten where they stand, under the name
// as the file spells it; new ones added at the end of the key section, which is appended (with
// the header, in an empty file) when the file has none.
std::string RegistryFile::Edited(
    const std::vector<std::pair<std::string, RegistryValue>>& values) const {
  std::map<size_t, std::string> replaced;  // entry index, in file order → its new line
  std::vector<std::pair<std::string, RegistryValue>> added;
  for (const auto& setting : values) {
    const std::string& name = setting.first;
    const RegistryValue& value = setting.second;
    if (auto index = FindLast(name)) {
      replaced[*index] = Quote(entries_[*index].name) + "=" + RenderData(value);
      continue;
    }
    auto same = std::find_if(added.begin(), added.end(),
                             [&](const auto& other) { return EqualNoCase(other.first, name); });
    if (same != added.end())
      same->second = value;
    else
      added.emplace_back(name, value);
  }
  std::string addedLines;
  for (const auto& [name, value] : added)
    addedLines += Quote(name) + "=" + RenderData(value) + lineEnd_;

  std::string out;
  size_t copied = 0;
  for (const auto& [index, line] : replaced) {
    out.append(text_, copied, entries_[index].begin - copied);
    out += line;
    copied = entries_[index].end;  // the old line end stays
  }
  if (keyFound_) {
    out.append(text_, copied, keyEnd_ - copied);
    if (!addedLines.empty() && text_[keyEnd_ - 1] != '\n') out += lineEnd_;
    out += addedLines;
    out.append(text_, keyEnd_);
    return out;
  }
  out.append(text_, copied);
  if (out.size() == ByteOrderMarkSize(out)) {
    out += std::string(kFileHeader) + lineEnd_ + lineEnd_;
  } else {
    if (out.back() != '\n') out += lineEnd_;
    if (!EndsWithBlankLine(out)) out += lineEnd_;
  }
  return out + "[" + kKeyName + "]" + lineEnd_ + addedLines;
}

bool RegistryFile::Write(std::string contents, bool creating) {
  if (creating) {
    std::error_code error;
    const std::filesystem::path target = PathFromUtf8(path_);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
  }
  if (!ReplaceFileAtomically(path_, contents)) return false;
  text_ = std::move(contents);
  Parse();
  return true;
}

}  // namespace velluma
