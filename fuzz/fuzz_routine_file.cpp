// Fuzzes the routine import and the routine loader behind the cursor page.
//
// Checked on every input, imported as routine 1 of a scratch library:
// - an import is taken only with 1 to 180 actions, and the routine file is
//   then exactly the input; a refused import leaves the routine as it was;
// - the loader never holds more than kMaxRoutineActions lines, and every
//   step of the routine reads without fault.

#include "fuzz/fuzz_scratch.h"
#include "platform/ini_file.h"
#include "routine/routine_files.h"
#include "routine/routine_steps.h"

using trx::fuzz::Check;

namespace {

const trx::routine::RoutineStore& Store() {
  static const trx::routine::RoutineStore store = [] {
    const std::string& folder = trx::fuzz::Scratch();
    trx::routine::RoutineStore s{folder, folder + "msMacro.ini", folder};
    Check(trx::WritePrivateProfileStrings({{"CURSORCOUNT", "count", "4"}, {"CURSORNAME", "0", "r"}}, s.index_path));
    return s;
  }();
  return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const trx::routine::RoutineStore& store = Store();
  const std::string target = trx::routine::RoutineFilePath(store, 0);
  const std::string original = "[MACROACTIONCOUNT]\ncount=1\n[MACROACTION]\n0=1,0,4,2,0,mouse_move_to_right_text\n";
  trx::fuzz::WriteInput(target, reinterpret_cast<const uint8_t*>(original.data()), original.size());
  const std::string source = trx::fuzz::Scratch() + "in.cur";
  trx::fuzz::WriteInput(source, data, size);

  long actions = -1;
  std::string problem;
  const trx::routine::RoutineResult r = trx::routine::ImportRoutine(store, 0, source, &actions, &problem);
  std::vector<uint8_t> now;
  Check(trx::ReadWholeFile(target, now));
  if (r == trx::routine::RoutineResult::Ok) {
    Check(actions >= 1 && actions <= trx::routine::kMaxImportActions && problem.empty());
    Check(now == std::vector<uint8_t>(data, data + size));
  } else {
    Check(!problem.empty());
    Check(now == std::vector<uint8_t>(original.begin(), original.end()));
  }
  const std::vector<std::string> lines = trx::routine::LoadRoutineLines(store, 0);
  Check(lines.size() <= static_cast<size_t>(trx::routine::kMaxRoutineActions));
  if (r == trx::routine::RoutineResult::Ok) Check(static_cast<long>(lines.size()) == actions);
  for (int k = 0; k < trx::routine::kStepCount; ++k) (void)trx::routine::StepFromLines(lines, k);
  return 0;
}
