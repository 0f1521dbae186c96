#include "ui/core/image_desc.h"

#include <algorithm>

namespace trx::ui {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void ApplyKey(TImageDesc* d, std::string_view key, std::string_view value) {
  if (key == "file" || key == "res") {
    d->file = std::string(value);
  } else if (key == "source") {
    ParseRect(value, &d->source);
  } else if (key == "dest") {
    d->hasDest = ParseRect(value, &d->dest);
  } else if (key == "corner") {
    ParseRect(value, &d->corner);
  } else if (key == "mask") {
    d->hasMask = ParseColor(value, &d->mask);
  } else if (key == "fade") {
    d->fade = std::clamp(ParseInt(value), 0, 255);
  } else if (key == "hole") {
    d->hole = ParseBool(value);
  } else if (key == "xtiled") {
    d->xtiled = ParseBool(value);
  } else if (key == "ytiled") {
    d->ytiled = ParseBool(value);
  }
  // restype, hsl and others are accepted and ignored.
}

}  // namespace

bool ParseImageDesc(std::string_view text, TImageDesc* out) {
  TImageDesc d;
  std::string_view s = text;
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  if (s.find('=') == std::string_view::npos || s.find('\'') == std::string_view::npos) {
    // A bare file name.
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    d.file = std::string(s);
  } else {
    size_t i = 0;
    while (i < s.size()) {
      while (i < s.size() && IsSpace(s[i])) ++i;
      size_t keyStart = i;
      while (i < s.size() && s[i] != '=' && !IsSpace(s[i])) ++i;
      std::string_view key = s.substr(keyStart, i - keyStart);
      while (i < s.size() && IsSpace(s[i])) ++i;
      if (i >= s.size() || s[i] != '=') break;
      ++i;
      while (i < s.size() && IsSpace(s[i])) ++i;
      if (i >= s.size()) break;
      char quote = s[i];
      std::string_view value;
      if (quote == '\'' || quote == '"') {
        size_t end = s.find(quote, i + 1);
        if (end == std::string_view::npos) break;  // unterminated: stop here
        value = s.substr(i + 1, end - i - 1);
        i = end + 1;
      } else {
        size_t start = i;
        while (i < s.size() && !IsSpace(s[i])) ++i;
        value = s.substr(start, i - start);
      }
      ApplyKey(&d, key, value);
    }
  }
  *out = std::move(d);
  return !out->file.empty();
}

}  // namespace trx::ui
