#include "platform/ini_file.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "platform/atomic_file.h"
#include "platform/file_lookup.h"

namespace trx {
namespace {

std::mutex g_ini_mutex;  // makes each INI read or read-modify-write one step; leaf lock

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// "[name]" → name (trimmed). False for any other line.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  size_t close = line.find(']');
  name = Trim(close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1));
  return true;
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// "key=value" → key and the raw value (trimmed). False for other lines.
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  if (IsComment(line)) return false;
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 (after the mark) → UTF-8; unpaired surrogates become U+FFFD, an odd
// last byte is dropped.
std::string DecodeUtf16(const uint8_t* p, size_t n, bool big_endian) {
  std::string out;
  auto unit = [&](size_t i) -> uint32_t {
    return big_endian ? (uint32_t{p[i]} << 8 | p[i + 1]) : (uint32_t{p[i + 1]} << 8 | p[i]);
  };
  for (size_t i = 0; i + 1 < n; i += 2) {
    uint32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < n) {
      uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  return out;
}

// Next code point of UTF-8 text at i (advancing i); bytes that don't form
// a valid sequence come back one at a time as U+FFFD.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
  uint8_t b = static_cast<uint8_t>(s[i]);
  size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return 0xFFFD;
  }
  uint32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (size_t k = 1; k < len; ++k) {
    uint8_t c = static_cast<uint8_t>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  static const uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {  // overlong, surrogate, too big
    ++i;
    return 0xFFFD;
  }
  i += len;
  return cp;
}

void AppendUtf16(std::vector<uint8_t>& out, uint32_t cp, bool big_endian) {
  auto put = [&](uint32_t u) {
    uint8_t hi = static_cast<uint8_t>(u >> 8), lo = static_cast<uint8_t>(u);
    out.push_back(big_endian ? hi : lo);
    out.push_back(big_endian ? lo : hi);
  };
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    put(0xD800 + (cp >> 10));
    put(0xDC00 + (cp & 0x3FF));
  } else {
    put(cp > 0x10FFFF ? 0xFFFD : cp);
  }
}

bool LoadDocument(const std::string& path, IniDocument& doc) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(ResolveExtensionCase(path), bytes)) return false;
  doc = IniDocument::Parse(bytes.data(), bytes.size());
  return true;
}

// The file at exactly `path` (not another spelling of its extension) and
// its bytes; false when there is none.
bool LoadExactDocument(const std::string& path, IniDocument& doc, std::vector<uint8_t>& bytes) {
  const std::string found = ResolveExtensionCase(path);
  if (!ReadWholeFile(found, bytes)) return false;
  doc = IniDocument::Parse(bytes.data(), bytes.size());
  return found == path;
}

bool StoreDocument(const std::string& path, const IniDocument& doc) {
  std::vector<uint8_t> bytes = doc.Serialize();
  if (!WriteFileAtomic(path, bytes.data(), bytes.size())) return false;
  RemoveExtensionCaseTwins(path);
  return true;
}

// Stores the document unless the file at `path` already holds its bytes.
bool StoreIfChanged(const std::string& path, const IniDocument& doc, bool exact, const std::vector<uint8_t>& before) {
  if (exact && doc.Serialize() == before) return true;
  return StoreDocument(path, doc);
}

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    size_t before = i;
    if (NextCodePoint(s, i) == 0xFFFD && !(i - before == 3 && s.compare(before, 3, "\xEF\xBF\xBD") == 0))
      return false;
  }
  return true;
}

// A key must read back: no '=' or line break, and not taken for a comment
// or a section header.
bool ValidKey(std::string_view key) {
  std::string_view k = Trim(key);
  return !k.empty() && k.front() != ';' && k.front() != '#' && k.front() != '[' &&
         key.find_first_of("=\r\n") == std::string_view::npos && ValidUtf8(key);
}
bool ValidSection(std::string_view section) {
  return !Trim(section).empty() && section.find_first_of("]\r\n") == std::string_view::npos && ValidUtf8(section);
}
bool ValidValue(std::string_view value) {
  return value.find_first_of("\r\n") == std::string_view::npos && ValidUtf8(value);
}

}  // namespace

std::string CutToChars(std::string_view text, size_t chars) {
  size_t i = 0;
  while (chars > 0 && i < text.size()) {
    NextCodePoint(text, i);
    --chars;
  }
  return std::string(text.substr(0, i));
}

IniDocument IniDocument::Parse(const uint8_t* data, size_t size) {
  IniDocument doc;
  std::string text;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    doc.encoding_ = Encoding::Utf16Le;
    text = DecodeUtf16(data + 2, size - 2, false);
  } else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
    doc.encoding_ = Encoding::Utf16Be;
    text = DecodeUtf16(data + 2, size - 2, true);
  } else if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    doc.encoding_ = Encoding::Utf8Bom;
    text.assign(reinterpret_cast<const char*>(data) + 3, size - 3);
  } else {
    text.assign(reinterpret_cast<const char*>(data), size);
  }
  doc.lines_.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    Line line;
    if (end == std::string::npos) {
      line.text = text.substr(pos);
      pos = text.size();
    } else {
      line.text = text.substr(pos, end - pos);
      size_t eol_len = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
      line.eol = text.substr(end, eol_len);
      pos = end + eol_len;
    }
    doc.lines_.push_back(std::move(line));
  }
  return doc;
}

std::vector<uint8_t> IniDocument::Serialize() const {
  std::string text;
  for (const Line& line : lines_) text += line.text + line.eol;
  std::vector<uint8_t> out;
  switch (encoding_) {
    case Encoding::Utf8:
      out.assign(text.begin(), text.end());
      break;
    case Encoding::Utf8Bom:
      out.reserve(text.size() + 3);
      out.push_back(0xEF);
      out.push_back(0xBB);
      out.push_back(0xBF);
      for (char c : text) out.push_back(static_cast<uint8_t>(c));
      break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
      bool be = encoding_ == Encoding::Utf16Be;
      out = be ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
      for (size_t i = 0; i < text.size();) AppendUtf16(out, NextCodePoint(text, i), be);
      break;
    }
  }
  return out;
}

std::string IniDocument::DefaultEol() const {
  for (const Line& line : lines_)
    if (!line.eol.empty()) return line.eol;
  return "\n";
}

bool IniDocument::FindSection(std::string_view section, size_t& begin, size_t& end) const {
  std::string_view want = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::string_view name;
    if (!SectionName(lines_[i].text, name) || !SameName(name, want)) continue;
    begin = i;
    end = i + 1;
    std::string_view other;
    while (end < lines_.size() && !SectionName(lines_[end].text, other)) ++end;
    return true;
  }
  return false;
}

bool IniDocument::Get(std::string_view section, std::string_view key, std::string& value) const {
  size_t begin, end;
  if (!FindSection(section, begin, end)) return false;
  std::string_view want = Trim(key);
  for (size_t i = begin + 1; i < end; ++i) {
    std::string_view k, v;
    if (KeyValue(lines_[i].text, k, v) && SameName(k, want)) {
      value = Unquote(v);
      return true;
    }
  }
  return false;
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  size_t begin, end;
  if (!FindSection(section, begin, end)) return out;
  std::unordered_set<std::string> seen;  // keys in lower case
  for (size_t i = begin + 1; i < end; ++i) {
    std::string_view k, v;
    if (!KeyValue(lines_[i].text, k, v)) continue;
    std::string lower(k);
    for (char& c : lower) c = AsciiLower(c);
    if (!seen.insert(std::move(lower)).second) continue;
    out.emplace_back(std::string(k), Unquote(v));
  }
  return out;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!ValidSection(section) || !ValidKey(key) || !ValidValue(value)) return false;
  std::string_view want_key = Trim(key);
  std::string entry = std::string(want_key) + "=" + std::string(value);
  size_t begin, end;
  if (!FindSection(section, begin, end)) {
    std::string eol = DefaultEol();
    if (!lines_.empty() && lines_.back().eol.empty()) {
      if (lines_.back().text.empty()) {
        lines_.pop_back();  // an empty last "line" is just the end of the file
      } else {
        lines_.back().eol = eol;
      }
    }
    lines_.push_back({"[" + std::string(Trim(section)) + "]", eol});
    lines_.push_back({entry, eol});
    return true;
  }
  for (size_t i = begin + 1; i < end; ++i) {
    std::string_view k, v;
    if (KeyValue(lines_[i].text, k, v) && SameName(k, want_key)) {
      lines_[i].text = std::string(k) + "=" + std::string(value);  // keeps the file's spelling of the key
      return true;
    }
  }
  // New key: after the section's last non-blank line, so blank separators
  // before the next section stay where they are.
  size_t at = end;
  while (at > begin + 1 && Trim(lines_[at - 1].text).empty()) --at;
  std::string eol = DefaultEol();
  if (lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{entry, eol});
  return true;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  size_t begin, end;
  if (!FindSection(section, begin, end)) return false;
  for (size_t i = begin + 1; i < end; ++i) {
    std::string_view k, v;
    if (KeyValue(lines_[i].text, k, v) && SameName(k, Trim(key))) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

bool IniDocument::RemoveSection(std::string_view section) {
  size_t begin, end;
  if (!FindSection(section, begin, end)) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin), lines_.begin() + static_cast<std::ptrdiff_t>(end));
  return true;
}

size_t GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view default_value,
                               std::string& out, const std::string& path, size_t buffer_chars) {
  std::string value;
  bool found = false;
  {
    std::lock_guard<std::mutex> guard(g_ini_mutex);
    IniDocument doc;
    found = LoadDocument(path, doc) && doc.Get(section, key, value);
  }
  if (!found) {
    std::string_view def = default_value;
    while (!def.empty() && IsBlank(def.back())) def.remove_suffix(1);
    value = std::string(def);
  }
  out = buffer_chars == 0 ? std::string() : CutToChars(value, buffer_chars - 1);
  size_t chars = 0;
  for (size_t i = 0; i < out.size(); ++chars) NextCodePoint(out, i);
  return chars;
}

std::vector<std::pair<std::string, std::string>> GetPrivateProfileSection(std::string_view section,
                                                                          const std::string& path,
                                                                          size_t buffer_chars) {
  std::vector<std::pair<std::string, std::string>> entries;
  {
    std::lock_guard<std::mutex> guard(g_ini_mutex);
    IniDocument doc;
    if (LoadDocument(path, doc)) entries = doc.Entries(section);
  }
  for (auto& entry : entries)
    entry.second = buffer_chars == 0 ? std::string() : CutToChars(entry.second, buffer_chars - 1);
  return entries;
}

long GetPrivateProfileLong(std::string_view section, std::string_view key, const std::string& path) {
  std::string text;
  GetPrivateProfileString(section, key, "0", text, path);
  size_t i = 0;
  while (i < text.size() && (IsBlank(text[i]) || text[i] == '\n' || text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  constexpr long kLimit = 0x7FFFFFFF;  // saturate like a 32-bit strtol
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit + (negative ? 1 : 0);
  }
  return negative ? -value : value;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path) {
  return WritePrivateProfileStrings({{section, key, value}}, path);
}

bool WritePrivateProfileStrings(const std::vector<IniEntry>& entries, const std::string& path) {
  std::lock_guard<std::mutex> guard(g_ini_mutex);
  IniDocument doc;
  std::vector<uint8_t> before;
  const bool exact = LoadExactDocument(path, doc, before);  // a missing file starts empty
  for (const IniEntry& e : entries)
    if (!doc.Set(e.section, e.key, e.value)) return false;
  return StoreIfChanged(path, doc, exact, before);
}

bool DeletePrivateProfileKey(std::string_view section, std::string_view key, const std::string& path) {
  std::lock_guard<std::mutex> guard(g_ini_mutex);
  IniDocument doc;
  if (!LoadDocument(path, doc)) return true;
  if (!doc.RemoveKey(section, key)) return true;
  return StoreDocument(path, doc);
}

bool DeletePrivateProfileSection(std::string_view section, const std::string& path) {
  std::lock_guard<std::mutex> guard(g_ini_mutex);
  IniDocument doc;
  if (!LoadDocument(path, doc)) return true;
  if (!doc.RemoveSection(section)) return true;
  return StoreDocument(path, doc);
}

}  // namespace trx
