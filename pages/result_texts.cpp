#include "pages/result_texts.h"

#include "platform/text_ids.h"

namespace trx::pages {
namespace {

template <typename Result>
struct Row {
  Result result;
  const char* text_id;
};

constexpr Row<ProfileOpResult> kProfileTexts[] = {
    {ProfileOpResult::FileMissing, text::kProfileFileMissing},
    {ProfileOpResult::FileBad, text::kProfileFileBad},
    {ProfileOpResult::OnlyOneProfile, text::kCannotBeDone},
    {ProfileOpResult::EmptyName, text::kNameEmpty},
    {ProfileOpResult::DuplicateName, text::kProfileNameTaken},
    {ProfileOpResult::DeviceFailed, text::kDeviceNoAnswer},
};

constexpr Row<UploadResult> kUploadTexts[] = {
    {UploadResult::TooLarge, text::kMacrosTooLarge},
    {UploadResult::FileError, text::kProfileFileMissing},
    {UploadResult::DeviceError, text::kDeviceNoAnswer},
};

// A routine's files: whatever failed with them reads as a file that can't be used.
constexpr Row<routine::RoutineResult> kRoutineTexts[] = {
    {routine::RoutineResult::FileError, text::kProfileFileMissing},
    {routine::RoutineResult::NoSuchRoutine, text::kProfileFileMissing},
    {routine::RoutineResult::TooManyActions, text::kRoutineTooManyActions},
    {routine::RoutineResult::TargetExists, text::kProfileFileMissing},
    {routine::RoutineResult::BadFile, text::kProfileFileMissing},
    {routine::RoutineResult::DeviceError, text::kDeviceNoAnswer},
    {routine::RoutineResult::BadMemory, text::kDeviceNoAnswer},
};

constexpr Row<ProfileSaveResult> kSaveTexts[] = {
    {ProfileSaveResult::Failed, text::kProfileFileMissing},
    {ProfileSaveResult::NoSuchFamily, text::kProfileFileMissing},
};

template <typename Result, size_t N>
const char* Find(const Row<Result> (&rows)[N], Result result) {
  for (const Row<Result>& row : rows)
    if (row.result == result) return row.text_id;
  return nullptr;
}

}  // namespace

const char* TextIdOf(ProfileOpResult result) { return Find(kProfileTexts, result); }
const char* TextIdOf(UploadResult result) { return Find(kUploadTexts, result); }
const char* TextIdOf(routine::RoutineResult result) { return Find(kRoutineTexts, result); }
const char* TextIdOf(ProfileSaveResult result) { return Find(kSaveTexts, result); }

}  // namespace trx::pages
