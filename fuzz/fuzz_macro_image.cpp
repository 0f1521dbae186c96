// Fuzzes the macro image decoder.
//
// Checked on every input: an image the decoder accepts is rebuilt by the
// builder into the same bytes (reserved bytes aside) that decode to the
// same macros.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "macro/macro_image.h"

namespace {
void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<trx::macro::ImageMacro> macros;
  if (!trx::macro::DecodeMacroImage(data, size, macros)) return 0;
  Check(macros.size() <= trx::macro::kMaxMacros);
  const std::vector<uint8_t> rebuilt = trx::macro::BuildMacroImage(macros);
  Check(!rebuilt.empty());
  Check(rebuilt.size() == static_cast<size_t>(data[2] | (data[3] << 8)));
  for (size_t i = 0; i < rebuilt.size(); ++i) {
    const bool header_reserved = i >= 6 && i < 16;
    if (!header_reserved && rebuilt[i] != data[i]) {
      // Only a record's two reserved bytes may differ.
      Check(i >= 16 + 2 * macros.size());
    }
  }
  std::vector<trx::macro::ImageMacro> again;
  Check(trx::macro::DecodeMacroImage(rebuilt.data(), rebuilt.size(), again));
  Check(again == macros);
  return 0;
}
