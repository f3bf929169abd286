#include "platform/RegistryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/AtomicFile.h"

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

// The file's lines with continuation lines (a trailing backslash) joined.
std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line, pending;
  bool continuing = false;
  while (std::getline(in, line)) {
    line = TrimRight(line);
    if (continuing) {
      size_t start = line.find_first_not_of(" \t");
      line = start == std::string::npos ? "" : line.substr(start);
    }
    pending += line;
    continuing =
        !pending.empty() && pending.back() == '\\' && pending.find("=hex") != std::string::npos;
    if (continuing) {
      pending.pop_back();
      continue;
    }
    lines.push_back(pending);
    pending.clear();
  }
  if (!pending.empty()) lines.push_back(pending);
  return lines;
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
    value.type = kRegSz;
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
    value.type = kRegDword;
    value.data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                  static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
    return true;
  }
  if (data.rfind("hex:", 0) == 0) {
    value.type = kRegBinary;
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
    if (value.type == kRegSz || value.type == kRegExpandSz) value.data = NarrowIfUtf16(value.data);
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
  if (value.type == kRegSz && plainText) return Quote(std::string(d.begin(), d.end() - 1));
  if (value.type == kRegDword && d.size() == 4) {
    char text[16];
    std::uint32_t n = d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
    std::snprintf(text, sizeof text, "dword:%08x", n);
    return text;
  }
  if (value.type == kRegBinary) return "hex:" + HexList(d);
  std::vector<std::uint8_t> bytes = d;
  if (value.type == kRegSz || value.type == kRegExpandSz) {  // back to UTF-16LE, as regedit writes
    bytes.clear();
    for (std::uint8_t c : d) bytes.insert(bytes.end(), {c, 0});
  }
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
  return prefix + HexList(bytes);
}

bool ReadWholeFile(const std::string& path, std::string& text, bool& missing) {
  missing = false;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    missing = !std::filesystem::exists(path);
    return false;
  }
  std::error_code error;
  auto size = std::filesystem::file_size(path, error);
  if (error || size > RegistryFile::kMaxFileBytes) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return text.size() <= RegistryFile::kMaxFileBytes;
}

}  // namespace

bool RegistryFile::Open() {
  values_.clear();
  otherLines_.clear();
  std::string text;
  bool missing = false;
  if (ReadWholeFile(path_, text, missing)) return Parse(text);
  return missing && Save();  // the key is created on first use
}

bool RegistryFile::Parse(const std::string& text) {
  const std::string body = text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
  bool inKey = false, inOther = false;
  for (const std::string& line : LogicalLines(body)) {
    if (!line.empty() && line[0] == '[') {
      inKey = EqualNoCase(line, std::string("[") + kKeyName + "]");
      inOther = !inKey;
    }
    if (inOther) {
      otherLines_.push_back(line);
      continue;
    }
    if (!inKey || line.empty() || line[0] != '"') continue;
    size_t pos = 0;
    std::string name;
    RegistryValue value;
    if (!ParseQuoted(line, pos, name) || pos >= line.size() || line[pos] != '=' ||
        !ParseData(line.substr(pos + 1), value))
      continue;  // not a value line: left out
    Put(name, value);
  }
  return true;
}

std::vector<std::pair<std::string, RegistryValue>>::iterator RegistryFile::Find(
    const std::string& name) {
  return std::find_if(values_.begin(), values_.end(),
                      [&](const auto& v) { return EqualNoCase(v.first, name); });
}

void RegistryFile::Put(const std::string& name, const RegistryValue& value) {
  if (auto it = Find(name); it != values_.end())
    it->second = value;
  else
    values_.emplace_back(name, value);
}

std::optional<RegistryValue> RegistryFile::Query(const std::string& name) const {
  for (const auto& [stored, value] : values_)
    if (EqualNoCase(stored, name)) return value;
  return std::nullopt;
}

bool RegistryFile::Set(const std::string& name, const RegistryValue& value) {
  return SetAll({{name, value}});
}

bool RegistryFile::SetAll(const std::vector<std::pair<std::string, RegistryValue>>& values) {
  for (const auto& [name, value] : values) Put(name, value);
  return Save();
}

std::string RegistryFile::Render() const {
  std::string out = std::string(kFileHeader) + "\n\n[" + kKeyName + "]\n";
  for (const auto& [name, value] : values_) out += Quote(name) + "=" + RenderData(value) + "\n";
  if (!otherLines_.empty()) out += "\n";
  for (const std::string& line : otherLines_) out += line + "\n";
  return out;
}

bool RegistryFile::Save() const {
  std::error_code error;
  const std::filesystem::path target(path_);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
  return ReplaceFileAtomically(path_, Render());
}

}  // namespace velluma
