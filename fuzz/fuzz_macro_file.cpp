// Fuzzes the macro file loader and the check an import runs.
//
// Checked on every input, read as a macro file of the library:
// - the loader never holds more than kMaxMacroActions lines; a count above
//   that is reported (BadFile) and gives no lines;
// - a file the import check accepts loads with exactly its count of lines,
//   each of them an action line.

#include "fuzz/fuzz_scratch.h"
#include "macro/macro_library.h"

using trx::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& folder = trx::fuzz::Scratch();
  const trx::macro::MacroStore store{folder, folder + "msMacro.ini", true};
  trx::fuzz::WriteInput(folder + "f.mac", data, size);
  const std::vector<uint8_t> bytes(data, data + size);

  long actions = -1;
  const std::string problem = trx::macro::MacroFileProblem(bytes, trx::macro::kMaxMacroActions, &actions);
  trx::macro::MacroResult loaded = trx::macro::MacroResult::Ok;
  const std::vector<std::string> lines = trx::macro::LoadMacroLines(store, "f", &loaded);
  Check(lines.size() <= static_cast<size_t>(trx::macro::kMaxMacroActions));
  Check(loaded == trx::macro::MacroResult::Ok || lines.empty());
  if (problem.empty()) {
    Check(loaded == trx::macro::MacroResult::Ok);
    Check(static_cast<long>(lines.size()) == actions);
    for (const std::string& line : lines) {
      trx::macro::MacroAction a;
      Check(trx::macro::ParseActionLine(line, a));
    }
  }
  return 0;
}
