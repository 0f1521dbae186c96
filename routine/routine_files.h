#pragma once
// The four fire-key routines on disk. The mouse's macro index
// ("msMacro.ini") names them: [CURSORCOUNT] count = 4 and [CURSORNAME]
// 0..3 = "name_1".."name_4". Routine r is the file CURSORNAME r + ".cur" in
// the mouse's device folder, written in the macro file form
// (macro/macro_library.h): [MACROACTIONCOUNT] count and [MACROACTION]
// 0 .. count-1 = action lines. The program folder holds the default
// routine files "name_1.cur" .. "name_4.cur" (made at build time by
// trx770-make-routines), from which the routines start and are reset.
//
// Every write replaces its file atomically (a temporary file renamed over
// the old one), so a crash never leaves a torn routine.
//
// No controls: the cursor page and trx770ctl drive these. Thread: the
// caller's; files are the only shared state and the INI functions
// serialise themselves.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace trx::routine {

inline constexpr int kRoutineCount = 4;
inline constexpr const char* kRoutineExtension = ".cur";
inline constexpr const char* kDefaultRoutineFormat = "name_%d.cur";
// An imported routine file may hold at most this many actions.
inline constexpr long kMaxImportActions = 180;

enum class RoutineResult : int {
  Ok = 0,
  FileError = 1,       // a file could not be read or written
  NoSuchRoutine = 2,   // routine number outside 0-3, or no usable name in the index
  TooManyActions = 3,  // an import above kMaxImportActions: nothing changed
  TargetExists = 4,    // an export onto an existing file without leave to overwrite
  TooLarge = 5,        // the image does not fit the routine memory: nothing sent
  DeviceError = 6,     // a device command failed
  BadMemory = 7,       // the mouse's routine memory holds no valid image: files kept
  BadFile = 8,         // an import that is not a routine file: nothing changed
};
const char* RoutineResultName(RoutineResult result);

struct RoutineStore {
  std::string folder;           // the mouse's device folder, with a trailing '/'
  std::string index_path;       // folder + "msMacro.ini"
  std::string defaults_folder;  // the program folder, with a trailing '/'
};
// The mouse's routines (device folder created on the way) with the
// program folder's defaults.
RoutineStore RoutineStoreFor();

// CURSORNAME r of the index; empty when r is outside 0-3 or the name
// can't be a file name.
std::string RoutineName(const RoutineStore& store, int r);
// folder + name + ".cur"; empty as RoutineName.
std::string RoutineFilePath(const RoutineStore& store, int r);
// defaults_folder + "name_<r+1>.cur"; empty for r outside 0-3.
std::string DefaultRoutinePath(const RoutineStore& store, int r);

// Start-up: when CURSORCOUNT is 0 or missing, writes the four entries and
// copies each default file into the device folder unless a file of that
// name is there already. False when the index could not be written or a
// missing routine file could not be copied.
bool InitRoutineIndex(const RoutineStore& store);

// The action lines of routine r (MACROACTION 0 .. count-1; missing keys
// read as "0"; a missing file has none). A count above what the routine
// memory can hold for one routine (kMaxRoutineActions) is cut there.
inline constexpr long kMaxRoutineActions = (3072 - 16 - 6 * kRoutineCount) / 4;
std::vector<std::string> LoadRoutineLines(const RoutineStore& store, int r);
// MACROACTIONCOUNT of routine r's file (0 when missing or negative).
long RoutineActionCount(const RoutineStore& store, int r);
// Replaces routine r's file with exactly these lines (count and actions).
RoutineResult WriteRoutineLines(const RoutineStore& store, int r, const std::vector<std::string>& lines);
// The text of a routine file holding `lines`.
std::vector<uint8_t> RoutineFileBytes(const std::vector<std::string>& lines);

// Copies the default file over routine r's file.
RoutineResult ResetRoutine(const RoutineStore& store, int r);
// Replaces routine r's file with `source`, byte for byte, once it is known
// to be a routine file: a regular file of at most kMaxRoutineFileBytes
// (else FileError), in the macro file form with 1 to kMaxImportActions
// actions, each present and an action line (above the limit TooManyActions,
// otherwise BadFile). Refused, nothing changes and `problem` says why.
// `actions` gets the file's count.
inline constexpr size_t kMaxRoutineFileBytes = 1u << 20;
RoutineResult ImportRoutine(const RoutineStore& store, int r, const std::string& source, long* actions = nullptr,
                            std::string* problem = nullptr);
// Copies routine r's file to `destination`. An existing destination is
// replaced only with `overwrite` (else TargetExists, nothing written).
RoutineResult ExportRoutine(const RoutineStore& store, int r, const std::string& destination, bool overwrite);

}  // namespace trx::routine
