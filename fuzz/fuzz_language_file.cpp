// Fuzzes the language file loader (the texts every message and label
// shows) and the count messages formatted from its texts.
//
// Checked on every input: loading never faults; a loaded text used as the
// format of a count message yields the text with at most one number put in.

#include "fuzz/fuzz_scratch.h"
#include "macro/macro_library.h"
#include "ui/core/resource_manager.h"

using trx::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = trx::fuzz::Scratch() + "lan.xml";
  trx::fuzz::WriteInput(path, data, size);
  trx::ui::CResourceManager* rm = trx::ui::CResourceManager::GetInstance();
  if (!rm->LoadLanguage(path)) return 0;
  for (const char* id : {"message_text_16", "message_text_17", "message_text_18"}) {
    const std::string text = rm->GetText(id);
    const std::string message = trx::macro::FormatCountMessage(text, 18446744073709551615ull);
    Check(message.size() <= text.size() + 20);
  }
  return 0;
}
