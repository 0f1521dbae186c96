// Fuzzes the readers driven by the INI indexes: the profile names and the
// start-up fill of every family, the program links the monitors read, the
// macro names and the routine names, all with the counts the file gives.
//
// Checked on every input, used as every device's profile index and as the
// mouse's macro index:
// - no reader sizes anything by an absurd count: the links are cut to
//   kProfileCountLimit, the macro names to the 50 macros, the start-up
//   fill adds no more items than the limit allows;
// - a routine name is either empty or a usable file name.

#include "fuzz/fuzz_scratch.h"
#include "macro/macro_image.h"
#include "macro/macro_library.h"
#include "profile/init_profiles.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "profile/program_links.h"
#include "routine/routine_files.h"

using trx::fuzz::Check;

namespace {

class Lists : public trx::IProfileLists {
 public:
  void AddItem(trx::DeviceKind, trx::ProfileFamily, std::string_view, int) override { ++items; }
  int ItemCount(trx::DeviceKind, trx::ProfileFamily) const override { return items; }
  int items = 0;
};
class Messages : public trx::IProfileMessages {
 public:
  int ShowMessage(std::string_view) override { return 1; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  trx::fuzz::Scratch();
  for (trx::DeviceKind kind : {trx::DeviceKind::Mouse, trx::DeviceKind::Keyboard, trx::DeviceKind::MousePad}) {
    trx::fuzz::WriteInput(trx::ProfileIniPath(kind), data, size);
    for (const trx::ProfileFamilyInfo* info : trx::FamiliesOf(kind)) {
      const std::vector<std::string> names = trx::ProfileNames(*info);
      Check(names.size() <= static_cast<size_t>(trx::kProfileCountLimit) + size);
      const int count = trx::ProfileCount(*info);
      Check(count >= 0 && count <= trx::kProfileCountLimit);
      Check(trx::ReadProgramLinks(*info, count).size() == static_cast<size_t>(count));
      (void)trx::SelectedProfileIndex(*info);
    }
    Lists lists;
    Messages messages;
    trx::InitProfiles(kind, lists, messages);
    Check(lists.items <= 3 * (trx::kProfileCountLimit + static_cast<int>(size)));
  }
  const trx::macro::MacroStore macros = trx::macro::MacroStoreFor(trx::DeviceKind::Mouse);
  trx::fuzz::WriteInput(macros.index_path, data, size);
  Check(trx::macro::LoadMacroNames(macros).size() <= trx::macro::kMaxMacros);
  const trx::routine::RoutineStore routines{macros.folder, macros.index_path, trx::fuzz::Scratch()};
  for (int r = 0; r < trx::routine::kRoutineCount; ++r) {
    const std::string name = trx::routine::RoutineName(routines, r);
    Check(name.empty() || trx::macro::MacroNameProblem(name).empty());
    Check(trx::routine::LoadRoutineLines(routines, r).size() <= static_cast<size_t>(trx::routine::kMaxRoutineActions));
  }
  return 0;
}
