#include "routine/routine_files.h"

#include <sys/stat.h>

#include <cstdio>

#include "macro/macro_library.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_lookup.h"
#include "platform/file_read.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"

namespace trx::routine {

namespace {

constexpr const char* kSecCursorName = "CURSORNAME";
constexpr const char* kSecActionCount = "MACROACTIONCOUNT";
constexpr const char* kSecAction = "MACROACTION";
constexpr const char* kKeyCount = "count";

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Reads a regular file of bounded size (never blocks on a FIFO or device).
bool ReadSmallFile(const std::string& path, std::vector<uint8_t>& bytes) {
  return ReadRegularFile(path, bytes, kMaxRoutineFileBytes) == FileReadResult::Ok;
}

bool InRange(int r) { return r >= 0 && r < kRoutineCount; }

}  // namespace

const char* RoutineResultName(RoutineResult result) {
  switch (result) {
    case RoutineResult::Ok: return "done";
    case RoutineResult::FileError: return "a routine file could not be read or written";
    case RoutineResult::NoSuchRoutine: return "no such routine (1-4)";
    case RoutineResult::TooManyActions: return "the routine file has more than 180 actions; nothing was imported";
    case RoutineResult::TargetExists: return "the file exists already; nothing was written";
    case RoutineResult::TooLarge: return "the routines don't fit the mouse's routine memory";
    case RoutineResult::DeviceError: return "the mouse did not answer as expected";
    case RoutineResult::BadMemory: return "the mouse's routine memory holds no routines; the files were kept";
    case RoutineResult::BadFile: return "the file is not a routine file; nothing was imported";
  }
  return "unknown result";
}

RoutineStore RoutineStoreFor() {
  const macro::MacroStore macros = macro::MacroStoreFor(DeviceKind::Mouse);
  return {macros.folder, macros.index_path, ProgramFolder()};
}

std::string RoutineName(const RoutineStore& store, int r) {
  if (!InRange(r) || store.index_path.empty()) return {};
  std::string name;
  GetPrivateProfileString(kSecCursorName, std::to_string(r), "", name, store.index_path);
  if (!macro::MacroNameProblem(name).empty()) return {};
  return name;
}

std::string RoutineFilePath(const RoutineStore& store, int r) {
  const std::string name = RoutineName(store, r);
  if (name.empty() || store.folder.empty()) return {};
  return ResolveExtensionCase(store.folder + name + kRoutineExtension);
}

std::string DefaultRoutinePath(const RoutineStore& store, int r) {
  if (!InRange(r)) return {};
  char name[32];
  std::snprintf(name, sizeof name, kDefaultRoutineFormat, r + 1);
  return store.defaults_folder + name;
}

bool InitRoutineIndex(const RoutineStore& store) {
  const macro::MacroStore macros{store.folder, store.index_path, true};
  if (GetPrivateProfileLong("CURSORCOUNT", kKeyCount, store.index_path) != 0) return true;
  if (!macro::EnsureCursorEntries(macros)) return false;
  bool ok = true;
  for (int r = 0; r < kRoutineCount; ++r) {
    const std::string target = RoutineFilePath(store, r);
    if (target.empty() || Exists(target)) continue;  // never overwrite a routine
    std::vector<uint8_t> bytes;
    if (!ReadSmallFile(DefaultRoutinePath(store, r), bytes)) {
      DebugLineF("routine default %s missing", DefaultRoutinePath(store, r).c_str());
      ok = false;
      continue;
    }
    ok = WriteFileAtomic(target, bytes.data(), bytes.size()) && ok;
  }
  return ok;
}

long RoutineActionCount(const RoutineStore& store, int r) {
  const std::string path = RoutineFilePath(store, r);
  if (path.empty()) return 0;
  const long n = GetPrivateProfileLong(kSecActionCount, kKeyCount, path);
  return n < 0 ? 0 : n;
}

std::vector<std::string> LoadRoutineLines(const RoutineStore& store, int r) {
  std::vector<std::string> lines;
  const std::string path = RoutineFilePath(store, r);
  if (path.empty()) return lines;
  const long count = RoutineActionCount(store, r);
  const auto entries = GetPrivateProfileSection(kSecAction, path);
  lines.assign(static_cast<size_t>(count > kMaxRoutineActions ? kMaxRoutineActions : count), "0");
  std::vector<bool> seen(lines.size(), false);
  for (const auto& [k, v] : entries) {
    char* end = nullptr;
    const long i = std::strtol(k.c_str(), &end, 10);
    if (end == k.c_str() || *end != '\0' || i < 0 || i >= static_cast<long>(lines.size())) continue;
    if (seen[static_cast<size_t>(i)]) continue;  // the first of a repeated key counts
    seen[static_cast<size_t>(i)] = true;
    lines[static_cast<size_t>(i)] = v;
  }
  return lines;
}

std::vector<uint8_t> RoutineFileBytes(const std::vector<std::string>& lines) {
  IniDocument doc;
  doc.Set(kSecActionCount, kKeyCount, std::to_string(lines.size()));
  for (size_t i = 0; i < lines.size(); ++i) doc.Set(kSecAction, std::to_string(i), lines[i]);
  return doc.Serialize();
}

RoutineResult WriteRoutineLines(const RoutineStore& store, int r, const std::vector<std::string>& lines) {
  const std::string path = RoutineFilePath(store, r);
  if (path.empty()) return RoutineResult::NoSuchRoutine;
  const std::vector<uint8_t> bytes = RoutineFileBytes(lines);
  return WriteFileAtomic(path, bytes.data(), bytes.size()) ? RoutineResult::Ok : RoutineResult::FileError;
}

RoutineResult ResetRoutine(const RoutineStore& store, int r) {
  const std::string path = RoutineFilePath(store, r);
  if (path.empty()) return RoutineResult::NoSuchRoutine;
  std::vector<uint8_t> bytes;
  if (!ReadSmallFile(DefaultRoutinePath(store, r), bytes)) return RoutineResult::FileError;
  return WriteFileAtomic(path, bytes.data(), bytes.size()) ? RoutineResult::Ok : RoutineResult::FileError;
}

RoutineResult ImportRoutine(const RoutineStore& store, int r, const std::string& source, long* actions,
                            std::string* problem) {
  const std::string path = RoutineFilePath(store, r);
  if (path.empty()) return RoutineResult::NoSuchRoutine;
  std::vector<uint8_t> bytes;
  if (const FileReadResult read = ReadRegularFile(source, bytes, kMaxRoutineFileBytes); read != FileReadResult::Ok) {
    if (problem != nullptr) *problem = DescribeFileRead(read, source, kMaxRoutineFileBytes);
    return RoutineResult::FileError;
  }
  long count = 0;
  std::string why = macro::MacroFileProblem(bytes, kMaxImportActions, &count);
  if (actions != nullptr) *actions = count;
  if (why.empty() && count == 0) why = "it has no actions";
  if (!why.empty()) {
    if (problem != nullptr) *problem = "'" + source + "' is not a routine file: " + why;
    return count > kMaxImportActions ? RoutineResult::TooManyActions : RoutineResult::BadFile;
  }
  return WriteFileAtomic(path, bytes.data(), bytes.size()) ? RoutineResult::Ok : RoutineResult::FileError;
}

RoutineResult ExportRoutine(const RoutineStore& store, int r, const std::string& destination, bool overwrite) {
  const std::string path = RoutineFilePath(store, r);
  if (path.empty()) return RoutineResult::NoSuchRoutine;
  if (!overwrite && Exists(destination)) return RoutineResult::TargetExists;
  std::vector<uint8_t> bytes;
  if (!ReadSmallFile(path, bytes)) return RoutineResult::FileError;
  return WriteFileAtomic(destination, bytes.data(), bytes.size()) ? RoutineResult::Ok : RoutineResult::FileError;
}

}  // namespace trx::routine
