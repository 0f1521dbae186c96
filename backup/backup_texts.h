#pragma once
// The table from a backup's or a restore's result to the language text the
// user is shown (platform/text_ids.h). Each of these texts has one "%s";
// for a restore the table also says what fills it.
//
// Thread: any (pure functions).

#include "backup/backup_store.h"
#include "backup/device_backup.h"

namespace trx::backup {

// A backup file that could not be loaded; nullptr for Ok. The file's name
// fills the text.
const char* TextIdOf(LoadResult result, BackupReadResult why);

// What fills a restore text's "%s".
enum class RestoreFill {
  File,              // the backup file's name
  DifferingRegions,  // RestoreReport::differing, joined by ", "
  FailedRegion,      // RestoreReport::region, "-" when empty
};
// Every result has a text (success too).
const char* TextIdOf(RestoreResult result);
RestoreFill FillOf(RestoreResult result);

}  // namespace trx::backup
