#include "pages/name_split.h"

#include <climits>

namespace trx::pages {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// atoi without its undefined overflow: clamps to the int range.
int ReadIndex(std::string_view tail) {
  size_t i = 0;
  bool negative = false;
  if (i < tail.size() && (tail[i] == '+' || tail[i] == '-')) negative = tail[i++] == '-';
  long long value = 0;
  for (; i < tail.size() && tail[i] >= '0' && tail[i] <= '9'; ++i) {
    value = value * 10 + (tail[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

}  // namespace

bool SplitName(std::string_view name, NameSplit& out) {
  const size_t cut = name.rfind('_');
  if (cut == std::string_view::npos) return false;
  out.prefix = std::string(name.substr(0, cut + 1));
  out.index = ReadIndex(name.substr(cut + 1));
  return true;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool HasPrefix(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

}  // namespace trx::pages
