#pragma once
// The name split the routing uses: a control name cut at its last "_".
// The prefix is everything up to and including that "_"; the index is the
// decimal number after it, read as a signed integer as atoi does (leading
// sign and digits; anything else reads as 0, a value beyond the int range
// is clamped). The split fails only when the name has no "_".

#include <string>
#include <string_view>

namespace trx::pages {

struct NameSplit {
  std::string prefix;
  int index = 0;
};

bool SplitName(std::string_view name, NameSplit& out);

// ASCII case-insensitive equality and prefix test (control names).
bool SameName(std::string_view a, std::string_view b);
bool HasPrefix(std::string_view name, std::string_view prefix);

}  // namespace trx::pages
