#include "ui/core/ui_types.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>

namespace trx::ui {

UiRect UiRect::Intersect(const UiRect& o) const {
  UiRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

bool ParseHex(std::string_view s, std::uint32_t* out) {
  if (s.empty() || s.size() > 8) return false;
  std::uint32_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (ec != std::errc() || p != s.data() + s.size()) return false;
  *out = v;
  return true;
}

// Reads a signed integer at s, advancing it; false when no digit follows.
bool ReadInt(std::string_view& s, int* out) {
  s = Trim(s);
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    neg = s[i] == '-';
    ++i;
  }
  if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
  long long v = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    if (v < static_cast<long long>(INT_MAX) + 1) v = v * 10 + (s[i] - '0');
    ++i;
  }
  if (neg) v = -v;
  v = std::clamp<long long>(v, INT_MIN, INT_MAX);
  *out = static_cast<int>(v);
  s.remove_prefix(i);
  return true;
}

}  // namespace

bool ParseColor(std::string_view text, UiColor* out) {
  std::string_view s = Trim(text);
  std::uint32_t v = 0;
  if (!s.empty() && s.front() == '#') {
    s.remove_prefix(1);
    if (!ParseHex(s, &v)) return false;
    if (s.size() <= 6) v |= 0xFF000000u;
    *out = v;
    return true;
  }
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    if (!ParseHex(s, &v)) return false;
    *out = v;
    return true;
  }
  if (s.empty()) return false;
  unsigned long long d = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), d, 10);
  if (ec != std::errc() || p != s.data() + s.size() || d > 0xFFFFFFFFull) return false;
  *out = static_cast<UiColor>(d);
  return true;
}

bool ParseRect(std::string_view text, UiRect* out) {
  int v[4] = {0, 0, 0, 0};
  std::string_view s = text;
  int n = 0;
  for (; n < 4; ++n) {
    if (!ReadInt(s, &v[n])) break;
    s = Trim(s);
    if (!s.empty() && s.front() == ',') s.remove_prefix(1);
  }
  if (n == 0) return false;
  for (int& x : v) x = std::clamp(x, -kMaxCoord, kMaxCoord);
  *out = {v[0], v[1], v[2], v[3]};
  return true;
}

bool ParseSize(std::string_view text, UiSize* out) {
  int v[2] = {0, 0};
  std::string_view s = text;
  int n = 0;
  for (; n < 2; ++n) {
    if (!ReadInt(s, &v[n])) break;
    s = Trim(s);
    if (!s.empty() && s.front() == ',') s.remove_prefix(1);
  }
  if (n == 0) return false;
  for (int& x : v) x = std::clamp(x, -kMaxCoord, kMaxCoord);
  *out = {v[0], v[1]};
  return true;
}

bool ParseBool(std::string_view text) {
  std::string_view s = Trim(text);
  return s == "true" || s == "1" || s == "TRUE" || s == "True";
}

int ParseInt(std::string_view text) {
  std::string_view s = text;
  int v = 0;
  return ReadInt(s, &v) ? v : 0;
}

int ParseCoord(std::string_view text) { return std::clamp(ParseInt(text), -kMaxCoord, kMaxCoord); }

}  // namespace trx::ui
