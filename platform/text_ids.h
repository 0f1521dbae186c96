#pragma once
// The language texts of the program's message boxes, each declared once
// under what it says. The texts are in the language files ("lan_en.xml",
// "lan_cn.xml"). Which result shows which text is one table per layer that
// owns the result: pages/result_texts.h for the pages' results,
// presence/device_reads.h for a device read, backup/backup_texts.h for
// backups and restores.
//
// Thread: any (constants).

namespace trx::text {

// Devices
inline constexpr const char* kNoDevice = "message_text_1";         // none connected: the window opens by itself
inline constexpr const char* kDeviceGone = "message_text_20";      // disconnected (the self-closing notice)
inline constexpr const char* kDeviceNoAnswer = "message_text_10";
// At least one profile must remain, or the device reported settings the
// program cannot use (a keyboard's key block above 512 bytes).
inline constexpr const char* kCannotBeDone = "message_text_11";
// Macros
inline constexpr const char* kMacroAssigned = "message_text_2";     // assigned to a button: delete anyway?
inline constexpr const char* kMacroEditing = "message_text_3";      // save or cancel the edit first
inline constexpr const char* kConfirmMacroDelete = "message_text_4";  // delete the selected macro?
inline constexpr const char* kMacroNameTaken = "message_text_5";
inline constexpr const char* kMacroLimit = "message_text_17";       // "%d": the most macros
// Buttons and routines
inline constexpr const char* kOnlyLeftClick = "message_text_6";     // the only left-click button
inline constexpr const char* kMacrosTooLarge = "message_text_16";   // "%d": actions to remove
inline constexpr const char* kRoutineTooManyActions = "message_text_18";
// Profiles and files
inline constexpr const char* kProfileFileMissing = "message_text_8";
inline constexpr const char* kProfileFileBad = "message_text_9";
inline constexpr const char* kConfirmProfileDelete = "message_text_12";  // "{name}": the profile
inline constexpr const char* kProgramLinked = "message_text_13";   // linked to another profile already
inline constexpr const char* kNameEmpty = "message_text_14";
inline constexpr const char* kProfileNameTaken = "message_text_15";
// After an export: "{name}" is the written file's path.
inline constexpr const char* kExported = "message_exported";
// Device backups ("%s": the file, its name or the regions, as noted)
inline constexpr const char* kBackupSaved = "message_backup_saved";    // the path
inline constexpr const char* kBackupFailed = "message_backup_failed";  // the path
inline constexpr const char* kBackupNewer = "message_backup_newer";    // made by a later version
inline constexpr const char* kBackupDamaged = "message_backup_damaged";
inline constexpr const char* kBackupOtherDevice = "message_backup_other_device";
inline constexpr const char* kRestoreConfirm = "message_restore_confirm";  // the file, then its date
inline constexpr const char* kRestoreDone = "message_restore_done";
inline constexpr const char* kRestoreDiffers = "message_restore_differs";  // the regions read back different
inline constexpr const char* kRestoreFailed = "message_restore_failed";    // the region a write failed in

}  // namespace trx::text
