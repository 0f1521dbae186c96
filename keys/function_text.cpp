#include "keys/function_text.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "keys/function_tables.h"

namespace trx::keys {

namespace {

constexpr const char* kKeyPrefix = "keyboard_key_";
constexpr std::array<const char*, kMouseButtonCount> kButtonNames = {"left", "wheel", "right", "forward",
                                                                    "back", "dpi",   "dpi-2"};
// Readable names of the mouse button, DPI, system and media rows, in table order.
constexpr std::array<const char*, kMouseButtonRows> kMouseButtonWords = {"left", "middle", "right", "forward", "back"};
constexpr std::array<const char*, kDpiRows> kDpiWords = {"dpi-up", "dpi-down", "dpi-loop"};
constexpr std::array<const char*, kSystemRows> kSystemWords = {"power", "sleep", "wake-up"};
constexpr std::array<const char*, kMediaRows> kMediaWords = {
    "player",  "play-pause", "stop",   "previous",  "next",     "volume-down", "volume-up", "mute",   "home",
    "refresh", "web-stop",   "back",   "forward",   "favorites", "search",     "computer",  "calculator", "mail"};
// Modifier words and their bits.
struct Modifier {
  const char* word;
  uint8_t bit;
};
constexpr Modifier kModifiers[] = {{"ctrl", 0x01},  {"shift", 0x02},  {"alt", 0x04},   {"win", 0x08},
                                   {"lctrl", 0x01}, {"lshift", 0x02}, {"lalt", 0x04},  {"lwin", 0x08},
                                   {"rctrl", 0x10}, {"rshift", 0x20}, {"ralt", 0x40},  {"rwin", 0x80}};
constexpr const char* kModifierNames[8] = {"LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin"};

bool Same(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

template <size_t N>
std::optional<size_t> Word(const std::array<const char*, N>& words, const std::string& w) {
  for (size_t i = 0; i < N; ++i)
    if (Same(w, words[i])) return i;
  return std::nullopt;
}

// A whole decimal number within [lo, hi].
std::optional<int> Number(const std::string& s, int lo, int hi) {
  if (s.empty() || s.size() > 4) return std::nullopt;
  for (char c : s)
    if (c < '0' || c > '9') return std::nullopt;
  const int v = std::atoi(s.c_str());
  if (v < lo || v > hi) return std::nullopt;
  return v;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i)
    if (i == s.size() || s[i] == sep) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  return parts;
}

ParsedFunction Ok(uint8_t type, int p1, int p2) {
  ParsedFunction f;
  f.ok = true;
  f.assignment = {type, static_cast<uint8_t>(p1), static_cast<uint8_t>(p2)};
  return f;
}
ParsedFunction Refuse(std::string reason) {
  ParsedFunction f;
  f.reason = std::move(reason);
  return f;
}

ParsedFunction ParseKey(const std::string& spec) {
  // Split at '+' but keep a trailing "+" key ("Ctrl++" is not in the table; "Num +" is).
  uint8_t bits = 0;
  std::string rest = spec;
  for (;;) {
    const size_t plus = rest.find('+');
    if (plus == std::string::npos || plus + 1 >= rest.size()) break;
    const std::string word = rest.substr(0, plus);
    const Modifier* m = nullptr;
    for (const Modifier& mod : kModifiers)
      if (Same(word, mod.word)) m = &mod;
    if (m == nullptr) break;
    bits |= m->bit;
    rest = rest.substr(plus + 1);
  }
  const auto& table = KeyTable();
  for (size_t i = 0; i < kKeyRows; ++i) {
    if (table[i].type != kTypeKey) continue;
    const std::string name = table[i].name + std::strlen(kKeyPrefix);
    if (Same(rest, name.c_str())) return Ok(kTypeKey, bits | table[i].param1, table[i].param2);
  }
  for (const Modifier& mod : kModifiers)
    if (Same(rest, mod.word)) return Ok(kTypeKey, bits | mod.bit, 0);
  return Refuse("no key named '" + rest + "' (names as on the keyboard: A, F5, Enter, Num Enter, Space ...)");
}

ParsedFunction ParseMacro(const std::string& spec, const std::vector<std::string>& macros) {
  std::string name = spec;
  std::string option;
  const size_t colon = spec.rfind(':');
  if (colon != std::string::npos &&
      (spec.compare(colon + 1, 7, "repeat=") == 0 || spec.compare(colon + 1, 5, "mode=") == 0)) {
    name = spec.substr(0, colon);
    option = spec.substr(colon + 1);
  }
  std::optional<size_t> index;
  for (size_t i = 0; i < macros.size(); ++i)
    if (Same(name, macros[i].c_str())) index = i;
  if (!index) return Refuse("no macro named '" + name + "' in the library");
  if (option.rfind("repeat=", 0) == 0) {
    const auto n = Number(option.substr(7), 1, 255);
    if (!n) return Refuse("a repeat count is 1-255");
    return Ok(kTypeMacroCount, static_cast<int>(*index), *n);
  }
  int mode = 0;
  if (!option.empty()) {
    const auto m = Number(option.substr(5), 0, kRepeatCountItem - 1);
    if (!m) return Refuse("a repeat mode is 0-3");
    mode = *m;
  }
  return Ok(kTypeMacroMode, static_cast<int>(*index), mode);
}

ParsedFunction ParseSwing(const std::string& spec) {
  const std::vector<std::string> p = Split(spec, ',');
  if (p.size() != 4) return Refuse("swing:DIRECTION,COUNT,HIGH,LOW (left, right, up or down; 0-127; 0-15; 0-15)");
  const bool horizontal = Same(p[0], "left") || Same(p[0], "right");
  const bool vertical = Same(p[0], "up") || Same(p[0], "down");
  if (!horizontal && !vertical) return Refuse("a swing goes left, right, up or down");
  const auto count = Number(p[1], 0, kSwingCountMask);
  const auto high = Number(p[2], 0, 15);
  const auto low = Number(p[3], 0, 15);
  if (!count || !high || !low) return Refuse("a swing's count is 0-127 and its two settings 0-15");
  const bool second = Same(p[0], "right") || Same(p[0], "down");
  return Ok(horizontal ? kTypeHorizontalSwing : kTypeVerticalSwing, *high * 16 + *low,
            *count | (second ? kSwingDirectionBit : 0));
}

}  // namespace

ParsedFunction ParseFunction(const std::string& text, const std::vector<std::string>& macros) {
  if (Same(text, "default")) {
    ParsedFunction f;
    f.ok = f.is_default = true;
    return f;
  }
  if (Same(text, "disabled")) return Ok(kKeyTypeNone, 0, 0);  // as `button list` prints it
  if (auto i = Word(kMouseButtonWords, text))
    return Ok(kTypeMouseButton, MouseButtonTable[*i].param1, MouseButtonTable[*i].param2);
  if (auto i = Word(kDpiWords, text)) return Ok(kTypeDpi, DpiTable[*i].param1, DpiTable[*i].param2);
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return Refuse("unknown function '" + text + "' (see --help)");
  const std::string family = text.substr(0, colon);
  const std::string arg = text.substr(colon + 1);
  if (Same(family, "key")) return ParseKey(arg);
  if (Same(family, "media")) {
    if (auto i = Word(kMediaWords, arg)) return Ok(kTypeMedia, MediaTable[*i].param1, MediaTable[*i].param2);
    return Refuse("unknown media key '" + arg + "'");
  }
  if (Same(family, "system")) {
    if (auto i = Word(kSystemWords, arg)) return Ok(kTypeSystem, SystemTable[*i].param1, 0);
    return Refuse("a system key is power, sleep or wake-up");
  }
  if (Same(family, "macro")) return ParseMacro(arg, macros);
  if (Same(family, "routine")) {
    if (auto n = Number(arg, 1, static_cast<int>(kRoutineRows))) return Ok(kTypeRoutine, *n - 1, 0);
    return Refuse("a routine is 1-4");
  }
  if (Same(family, "fire")) {
    const std::vector<std::string> p = Split(arg, ',');
    const auto a = p.size() == 2 ? Number(p[0], 0, 255) : std::nullopt;
    const auto b = p.size() == 2 ? Number(p[1], 0, 255) : std::nullopt;
    if (!a || !b) return Refuse("fire:A,B with A and B 0-255");
    return Ok(kTypeFireKey, *a, *b);
  }
  if (Same(family, "swing")) return ParseSwing(arg);
  return Refuse("unknown function family '" + family + "' (see --help)");
}

std::string DescribeFunction(KeyAssignment a, const std::vector<std::string>& macros) {
  auto row_word = [&](auto& table, auto& words) -> std::string {
    const auto row = FindRow(table, a.param1, a.param2);
    return row ? words[*row] : std::string();
  };
  std::string text;
  switch (a.type) {
    case kTypeMouseButton: text = row_word(MouseButtonTable, kMouseButtonWords); break;
    case kTypeDpi: text = row_word(DpiTable, kDpiWords); break;
    case kTypeSystem: if (auto w = row_word(SystemTable, kSystemWords); !w.empty()) text = "system:" + w; break;
    case kTypeMedia: if (auto w = row_word(MediaTable, kMediaWords); !w.empty()) text = "media:" + w; break;
    case kTypeHorizontalSwing: case kTypeVerticalSwing: {
      const bool second = a.param2 & kSwingDirectionBit;
      const char* dir = a.type == kTypeHorizontalSwing ? (second ? "right" : "left") : (second ? "down" : "up");
      text = std::string("swing:") + dir + "," + std::to_string(a.param2 & kSwingCountMask) + "," +
             std::to_string(a.param1 >> 4) + "," + std::to_string(a.param1 & 0x0F);
      break;
    }
    case kTypeFireKey: text = "fire:" + std::to_string(a.param1) + "," + std::to_string(a.param2); break;
    case kTypeKey: {
      std::string mods;
      uint8_t bits = a.param1;
      const auto row = a.param2 != 0 ? FindKeyRow(kTypeKey, 0, a.param2) : std::optional<size_t>();
      if (a.param2 == 0 || row) {
        for (int b = 0; b < 8; ++b)
          if (bits & (1u << b)) mods += std::string(mods.empty() ? "" : "+") + kModifierNames[b];
        text = "key:" + mods;
        if (row) text += (mods.empty() ? "" : "+") + std::string(KeyTable()[*row].name + std::strlen(kKeyPrefix));
        if (mods.empty() && !row) text.clear();
      }
      break;
    }
    case kTypeMacroMode: case kTypeMacroCount: {
      const std::string name = a.param1 < macros.size() ? macros[a.param1] : "#" + std::to_string(a.param1);
      text = "macro:" + name + (a.type == kTypeMacroCount ? ":repeat=" : ":mode=") + std::to_string(a.param2);
      break;
    }
    case kTypeRoutine: text = "routine:" + std::to_string(a.param1 + 1); break;
    case kKeyTypeNone: text = "Disabled"; break;  // as the key page names it
    default: break;
  }
  if (!text.empty()) return text;
  char raw[40];
  std::snprintf(raw, sizeof raw, "unknown 0x%02X 0x%02X 0x%02X", a.type, a.param1, a.param2);
  return raw;
}

std::optional<int> ParseMouseButton(const std::string& text) {
  if (auto n = Number(text, 1, static_cast<int>(kMouseButtonCount))) return *n - 1;
  if (auto i = Word(kButtonNames, text)) return static_cast<int>(*i);
  return std::nullopt;
}

const char* MouseButtonName(int entry) {
  return entry >= 0 && entry < static_cast<int>(kMouseButtonCount) ? kButtonNames[entry] : "?";
}

}  // namespace trx::keys
