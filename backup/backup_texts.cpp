#include "backup/backup_texts.h"

#include "platform/text_ids.h"

namespace trx::backup {
namespace {

struct RestoreRow {
  RestoreResult result;
  const char* text_id;
  RestoreFill fill;
};

// A result missing here reads as a failed restore.
constexpr RestoreRow kFailed{RestoreResult::WriteFailed, text::kRestoreFailed, RestoreFill::FailedRegion};
constexpr RestoreRow kRestoreTexts[] = {
    {RestoreResult::Ok, text::kRestoreDone, RestoreFill::File},
    {RestoreResult::OtherKind, text::kBackupOtherDevice, RestoreFill::File},
    {RestoreResult::OtherProduct, text::kBackupOtherDevice, RestoreFill::File},
    {RestoreResult::OtherSizes, text::kBackupOtherDevice, RestoreFill::File},
    {RestoreResult::Differs, text::kRestoreDiffers, RestoreFill::DifferingRegions},
    {RestoreResult::ReadFailed, text::kRestoreFailed, RestoreFill::FailedRegion},
    kFailed,
    {RestoreResult::ReadBackFailed, text::kRestoreFailed, RestoreFill::FailedRegion},
    {RestoreResult::Stopped, text::kRestoreFailed, RestoreFill::FailedRegion},
};

const RestoreRow& RowOf(RestoreResult result) {
  for (const RestoreRow& row : kRestoreTexts)
    if (row.result == result) return row;
  return kFailed;
}

}  // namespace

const char* TextIdOf(LoadResult result, BackupReadResult why) {
  if (result == LoadResult::Ok) return nullptr;
  // Only a file that was read and refused knows why; a newer version is
  // the one refusal the user can do something about.
  return result == LoadResult::Refused && why == BackupReadResult::NewerVersion ? text::kBackupNewer
                                                                                 : text::kBackupDamaged;
}

const char* TextIdOf(RestoreResult result) { return RowOf(result).text_id; }
RestoreFill FillOf(RestoreResult result) { return RowOf(result).fill; }

}  // namespace trx::backup
