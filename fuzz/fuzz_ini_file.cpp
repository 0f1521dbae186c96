// Fuzzes the INI reader: parsing any bytes, looking keys up, and a write
// followed by a re-read.
//
// Checked on every input:
// - UTF-8 files (with or without a byte-order mark) serialise back to the
//   very same bytes: a write never changes lines it doesn't touch;
// - after Set, the value reads back, also from the serialised file.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ini_file.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  trx::IniDocument doc = trx::IniDocument::Parse(data, size);
  if (doc.encoding() == trx::IniDocument::Encoding::Utf8 || doc.encoding() == trx::IniDocument::Encoding::Utf8Bom) {
    std::vector<uint8_t> back = doc.Serialize();
    Check(back.size() == size && std::equal(back.begin(), back.end(), data));
  }

  std::string value;
  for (const char* section : {"PROFILEDEVICENAME", "SKINIMAGE", "a"})
    for (const char* key : {"0", "count", "select", "FLAGS"})
      if (doc.Get(section, key, value)) trx::CutToChars(value, 259);

  // A key name taken from the input, as a profile index could be.
  std::string key = size > 0 ? std::string(reinterpret_cast<const char*>(data), size < 8 ? size : 8) : "k";
  bool set = doc.Set("PROFILEDENGNAME", key, "profile1");
  if (set) {
    Check(doc.Get("profiledengname", key, value) && value == "profile1");
    std::vector<uint8_t> bytes = doc.Serialize();
    trx::IniDocument again = trx::IniDocument::Parse(bytes.data(), bytes.size());
    Check(again.Get("PROFILEDENGNAME", key, value) && value == "profile1");
  }
  doc.RemoveKey("PROFILEDENGNAME", key);
  doc.RemoveSection("SKINIMAGE");
  return 0;
}
