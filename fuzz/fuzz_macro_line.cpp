// Fuzzes the action-line parser.
//
// Checked on every input:
// - a line the parser accepts formats back to a line that parses to the
//   same action (the name never grows a comma, numbers keep their bits);
// - a refused line has fewer than five commas.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "macro/macro_action.h"

namespace {
void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  trx::macro::MacroAction a;
  const bool ok = trx::macro::ParseActionLine(line, a);
  Check(ok == (std::count(line.begin(), line.end(), ',') >= 5));
  if (ok) {
    Check(a.name.find(',') == std::string::npos);
    trx::macro::MacroAction back;
    Check(trx::macro::ParseActionLine(trx::macro::FormatActionLine(a), back));
    Check(back == a);
  }
  return 0;
}
