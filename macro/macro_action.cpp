#include "macro/macro_action.h"

#include <cstdio>

namespace trx::macro {

namespace {

// strtol-like decimal reading, saturating instead of overflowing; only the
// low bits of the result are used.
int64_t ReadDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                             text[i] == '\v' || text[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < (int64_t{1} << 40)) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

std::string FormatActionLine(const MacroAction& a) {
  char head[64];
  std::snprintf(head, sizeof head, "%d,%d,%d,%d,%d,", a.DelayLow(), a.DelayHigh(), a.type, a.code, a.pressed);
  return head + a.name;
}

bool ParseActionLine(std::string_view line, MacroAction& action) {
  size_t comma = line.rfind(',');
  if (comma == std::string_view::npos) return false;
  action.name = std::string(line.substr(comma + 1));
  std::string_view rest = line.substr(0, comma);
  // Fields right of each further comma, from the right: pressed, code,
  // type, delay high byte; then what is left is the delay low byte.
  for (int field = 0; field < 4; ++field) {
    comma = rest.rfind(',');
    if (comma == std::string_view::npos) return false;
    const uint64_t v = static_cast<uint64_t>(ReadDecimal(rest.substr(comma + 1)));
    switch (field) {
      case 0: action.pressed = static_cast<uint16_t>(v); break;
      case 1: action.code = static_cast<uint8_t>(v); break;
      case 2: action.type = static_cast<uint8_t>(v); break;
      default: action.delay = static_cast<uint16_t>((action.delay & 0x00FF) | ((v & 0xFF) << 8)); break;
    }
    rest = rest.substr(0, comma);
  }
  const uint64_t low = static_cast<uint64_t>(ReadDecimal(rest));
  action.delay = static_cast<uint16_t>((action.delay & 0xFF00) | (low & 0xFF));
  return true;
}

}  // namespace trx::macro
