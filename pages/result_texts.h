#pragma once
// The one table from a result to the language text the pages show for it
// (platform/text_ids.h). nullptr: the table has no text for it: success, or
// a result whose page says more itself (a routine image too large names its
// sizes, a refused profile name its reason).
//
// Thread: any (pure functions).

#include "pages/page_context.h"
#include "pages/upload_result.h"
#include "profile/profile_operations.h"
#include "routine/routine_files.h"
#include "settings/settings_host.h"

namespace trx::pages {

const char* TextIdOf(ProfileOpResult result);
const char* TextIdOf(UploadResult result);  // TooLarge: "%d" the actions to remove
const char* TextIdOf(routine::RoutineResult result);
const char* TextIdOf(ProfileSaveResult result);

// Shows the table's text for `result`; false when it has none (nothing shown).
// UI thread.
template <typename Result>
bool ShowTextOf(IDialogs& dialogs, Result result) {
  const char* id = TextIdOf(result);
  if (id != nullptr) dialogs.ShowMessage(id);
  return id != nullptr;
}

}  // namespace trx::pages
