#pragma once
// The macro library of one device on disk: the index file ("msMacro.ini"
// in the mouse's device folder, "kbMacro.ini" in the keyboard's) listing the
// macros by name, and one macro file "<name>.mac" per macro beside it.
//
//   index      [MACROCOUNT] count        number of macros
//              [MACRONAME] 0 .. count-1  names; a macro's number is its position
//              [CURSORCOUNT] count = 4, [CURSORNAME] 0..3 = name_1..name_4
//                                        (mouse only: the cursor routines)
//   "<name>.mac" [MACROACTIONCOUNT] count, [MACROACTION] 0 .. count-1 =
//              action lines (macro_action.h), [MACROSELECTNAME] name
//
// Files are read on every call (nothing is cached); every read goes through
// the private-profile INI functions with their 260-character buffer and the
// default "0", so a longer value comes back cut to 259 characters. Every
// write replaces its file atomically.
//
// Names become file names, so they are checked first: an empty name, one
// with a path separator, a control character or another character Windows
// refuses in file names, "." or "..", blanks at either end (the INI file
// would drop them) or a name longer than a file name may be is refused, and
// nothing is ever written outside the device's folder.
//
// No controls: the macro page and trx770ctl drive these. Thread: the
// caller's (the UI thread in the program); files are the only shared state
// and the INI functions serialise themselves.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_channel.h"
#include "macro/macro_action.h"

namespace trx::macro {

enum class MacroResult : int {
  Ok = 0,
  LimitReached = 1,   // the library holds kMaxMacros macros already
  BadName = 2,        // MacroNameProblem() says why
  DuplicateName = 3,  // another macro has that name (any case)
  NameUnchanged = 4,  // a rename to the macro's own name: nothing to do
  FileExists = 5,     // the target file exists on disk without being in the list
  FileError = 6,      // a file could not be read or written
  NoSuchMacro = 7,    // index or name not in the library
  TooLarge = 8,       // the image does not fit the device's macro memory
  DeviceError = 9,    // a device command failed
  BadFile = 10,       // not a macro file, or a damaged one (MacroFileProblem says why)
};
const char* MacroResultName(MacroResult result);

struct MacroStore {
  std::string folder;      // with a trailing '/'
  std::string index_path;  // folder + "msMacro.ini" / "kbMacro.ini"
  bool cursor_entries = false;
};
// The mouse's or the keyboard's library (the device folder is created on
// the way). Other kinds have none: an empty store.
MacroStore MacroStoreFor(DeviceKind kind);

inline constexpr const char* kMacroNameFormat = "name_%d";
inline constexpr const char* kMacroFileExtension = ".mac";
inline constexpr int kCursorRoutineCount = 4;

// Empty when `name` can be a macro name, else the reason in English.
std::string MacroNameProblem(const std::string& name);
// Folder + name + ".mac"; empty when the name is refused.
std::string MacroFilePath(const MacroStore& store, const std::string& name);
// ASCII case-insensitive equality, as names are compared.
bool SameMacroName(const std::string& a, const std::string& b);

// Names 0 .. count-1 of the index (a missing index: none; entries past
// the 50th are ignored, as the library never holds more).
std::vector<std::string> LoadMacroNames(const MacroStore& store);
// First start: when CURSORCOUNT is missing or 0 (mouse only), writes
// CURSORCOUNT = 4 and CURSORNAME 0..3 = name_1..name_4. False when the
// index could not be written.
bool EnsureCursorEntries(const MacroStore& store);

// Appends "name_N" (N = count + 1, increased while the name exists in any
// case) to the index. LimitReached at kMaxMacros; no macro file is made.
MacroResult CreateMacro(const MacroStore& store, std::string& new_name);

// The most actions one macro can hold: the largest macro memory a device can
// report (255 x 128 bytes) less the image header and one record header, in
// 4-byte actions. A larger count is a damaged file, never allocated.
inline constexpr long kMaxMacroActions = (255 * 128 - 16 - 6) / 4;
// Macro files larger than this are not macro files (kMaxMacroActions lines
// take well under a megabyte).
inline constexpr size_t kMaxMacroFileBytes = 4u << 20;

// The action lines of a macro file (MACROACTION 0 .. count-1; a missing
// file has none). A count above kMaxMacroActions is not believed: no lines,
// and `result` (when given) says BadFile; otherwise it says Ok.
std::vector<std::string> LoadMacroLines(const MacroStore& store, const std::string& name,
                                        MacroResult* result = nullptr);

// Why `bytes` can't be a macro file (or a routine file, which has the same
// form, with `max_actions` of its own): no MACROACTIONCOUNT, a count below
// 0 or above `max_actions`, or an action 0 .. count-1 missing or not an
// action line. Empty when it can be one; `actions` gets the count.
std::string MacroFileProblem(const std::vector<uint8_t>& bytes, long max_actions, long* actions = nullptr);
// Writes the lines to macro `index`'s file (name read from the index):
// MACROACTIONCOUNT, MACROSELECTNAME and MACROACTION 0 .. n-1; keys of a
// longer earlier version stay but are ignored.
MacroResult SaveMacro(const MacroStore& store, int index, const std::vector<std::string>& lines);

// Saves `lines` under the old name, renames the file to `new_name` + ".mac"
// and writes the new name into it and into the index. NameUnchanged when the
// macro's own name equals it (any case), DuplicateName when another macro's
// does, BadName, FileExists when a file of that name is on disk, FileError
// when the rename fails: in every refusal the index is left untouched.
MacroResult RenameMacro(const MacroStore& store, int index, const std::string& new_name,
                        const std::vector<std::string>& lines);

// The five onboard profiles' key-assignment blocks and the device's default
// block (the main block); entries are 3 bytes, type 0x70/0x71 = macro with
// the macro number in the next byte.
struct AssignmentBlocks {
  std::array<uint8_t*, 5> blocks{};
  const uint8_t* defaults = nullptr;
  size_t entries = 0;  // how many leading entries are buttons
};
inline constexpr uint8_t kKeyTypeMacro = 0x70;
inline constexpr uint8_t kKeyTypeMacroRepeat = 0x71;
struct ButtonReset {
  int profile;  // 0-4
  int button;   // entry index
  bool operator==(const ButtonReset&) const = default;
};
// True when some button of some profile runs macro `index`.
bool MacroIsAssigned(const AssignmentBlocks& blocks, int index);
// Buttons running macro `index` get their default entry; those running a
// higher macro number get it decreased by one. Returns the reset buttons.
std::vector<ButtonReset> RenumberAfterDelete(AssignmentBlocks& blocks, int index);

// Removes macro `index`: its file, its name; the index is rewritten from
// scratch (MACROCOUNT, the cursor entries on the mouse, MACRONAME 0 ..
// count-1). The assignments are the caller's (RenumberAfterDelete).
MacroResult DeleteMacro(const MacroStore& store, int index);

// The language texts "message_text_17" (the limit) and "message_text_16"
// (the surplus actions) are formats taking one number. The number replaces
// the first "%d" (or "%u", "%ld"); any other '%' is copied as it is, so a
// language file can't make the formatting read arguments that aren't there.
std::string FormatCountMessage(std::string_view format, uint64_t number);

// Import: checks `source` (a regular file of at most kMaxMacroFileBytes
// that MacroFileProblem accepts; else FileError or BadFile with the reason
// in `problem`, nothing changed), then creates a macro as CreateMacro does
// and copies `source` into its file byte for byte (the copy is made before
// the index entry, so a failed copy leaves the library as it was). Export
// copies the macro's file.
MacroResult ImportMacro(const MacroStore& store, const std::string& source, std::string& new_name,
                        std::string* problem = nullptr);
MacroResult ExportMacro(const MacroStore& store, const std::string& name, const std::string& destination);

}  // namespace trx::macro
