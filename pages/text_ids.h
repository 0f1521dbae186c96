#pragma once
// The language text ids the page layer shows, each declared once under
// what it says. The texts are in the language files ("lan_en.xml",
// "lan_cn.xml").

namespace trx::pages::text {

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
// Files and devices
inline constexpr const char* kProfileFileMissing = "message_text_8";
inline constexpr const char* kDeviceNoAnswer = "message_text_10";
inline constexpr const char* kConfirmProfileDelete = "message_text_12";  // "{name}": the profile
// After an export: "{name}" is the written file's path.
inline constexpr const char* kExported = "message_exported";

}  // namespace trx::pages::text
