// Fuzzes the key-colour file parser of trx770ctl.
//
// Checked on every input: an accepted file names only lights of the
// keyboard picture (0 .. kKeyLightCount-1); a refused one says why.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ctl/key_colours.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<trx::ctl::KeyColour> colours;
  std::string error;
  const bool ok = trx::ctl::ParseKeyColours(std::string_view(reinterpret_cast<const char*>(data), size), colours, error);
  if (!ok && error.empty()) std::abort();
  if (ok)
    for (const trx::ctl::KeyColour& c : colours)
      if (c.key < 0 || c.key >= trx::ctl::kKeyLightCount) std::abort();
  return 0;
}
