#include "macro/macro_library.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "macro/macro_image.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_lookup.h"
#include "platform/file_read.h"
#include "platform/file_names.h"
#include "platform/ini_file.h"
#include "profile/profile_families.h"

namespace trx::macro {

namespace {

constexpr const char* kSecMacroCount = "MACROCOUNT";
constexpr const char* kSecMacroName = "MACRONAME";
constexpr const char* kSecCursorCount = "CURSORCOUNT";
constexpr const char* kSecCursorName = "CURSORNAME";
constexpr const char* kSecActionCount = "MACROACTIONCOUNT";
constexpr const char* kSecAction = "MACROACTION";
constexpr const char* kSecSelectName = "MACROSELECTNAME";
constexpr const char* kKeyCount = "count";
constexpr const char* kKeyName = "name";
// A file name holds at most 255 bytes; the name gets ".mac".
constexpr size_t kMaxNameBytes = 255 - 4;

std::string Number(long n) { return std::to_string(n); }


// Whatever the case of the extension ("x.MAC" from another system is x's file).
bool FileExists(const std::string& path) {
  struct stat st;
  return ::lstat(ResolveExtensionCase(path).c_str(), &st) == 0;
}

long Count(const std::string& section, const std::string& path) {
  const long n = GetPrivateProfileLong(section, kKeyCount, path);
  return n < 0 ? 0 : n;
}

// Writes the index from nothing: count, cursor entries, names.
bool WriteIndex(const MacroStore& store, const std::vector<std::string>& names) {
  IniDocument doc;
  doc.Set(kSecMacroCount, kKeyCount, Number(static_cast<long>(names.size())));
  if (store.cursor_entries) {
    doc.Set(kSecCursorCount, kKeyCount, Number(kCursorRoutineCount));
    for (int i = 0; i < kCursorRoutineCount; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, kMacroNameFormat, i + 1);
      doc.Set(kSecCursorName, Number(i), name);
    }
  }
  for (size_t i = 0; i < names.size(); ++i)
    if (!doc.Set(kSecMacroName, Number(static_cast<long>(i)), names[i])) return false;
  const std::vector<uint8_t> bytes = doc.Serialize();
  return WriteFileAtomic(store.index_path, bytes.data(), bytes.size());
}

// The name a new macro gets.
std::string NextName(const std::vector<std::string>& names) {
  for (long n = static_cast<long>(names.size()) + 1;; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, kMacroNameFormat, static_cast<int>(n));
    bool taken = false;
    for (const std::string& existing : names) taken = taken || SameMacroName(existing, name);
    if (!taken) return name;
  }
}

// Adds `name` as the last macro of the index.
bool AppendToIndex(const MacroStore& store, size_t old_count, const std::string& name) {
  const std::string count = Number(static_cast<long>(old_count + 1));
  const std::string key = Number(static_cast<long>(old_count));
  return WritePrivateProfileStrings({{kSecMacroCount, kKeyCount, count}, {kSecMacroName, key, name}},
                                    store.index_path);
}

}  // namespace

const char* MacroResultName(MacroResult result) {
  switch (result) {
    case MacroResult::Ok: return "done";
    case MacroResult::LimitReached: return "the library already holds 50 macros";
    case MacroResult::BadName: return "the name can't be used as a file name";
    case MacroResult::DuplicateName: return "another macro has that name";
    case MacroResult::NameUnchanged: return "the name is unchanged";
    case MacroResult::FileExists: return "a file of that name is already in the folder";
    case MacroResult::FileError: return "a macro file could not be read or written";
    case MacroResult::NoSuchMacro: return "no such macro";
    case MacroResult::TooLarge: return "the macros don't fit the device's macro memory";
    case MacroResult::DeviceError: return "the device did not take the upload";
    case MacroResult::BadFile: return "the file is not a macro file or is damaged";
  }
  return "unknown result";
}

MacroStore MacroStoreFor(DeviceKind kind) {
  MacroStore store;
  if (kind != DeviceKind::Mouse && kind != DeviceKind::Keyboard) return store;
  store.folder = ProfileFolder(kind);
  store.index_path = store.folder + (kind == DeviceKind::Mouse ? "msMacro.ini" : "kbMacro.ini");
  store.cursor_entries = kind == DeviceKind::Mouse;
  return store;
}

std::string MacroNameProblem(const std::string& name) { return FileNameProblem(name, kMaxNameBytes); }

std::string MacroFilePath(const MacroStore& store, const std::string& name) {
  if (store.folder.empty() || !MacroNameProblem(name).empty()) return {};
  return store.folder + name + kMacroFileExtension;
}

bool SameMacroName(const std::string& a, const std::string& b) { return SameNameIgnoringCase(a, b); }

std::vector<std::string> LoadMacroNames(const MacroStore& store) {
  std::vector<std::string> names;
  if (store.index_path.empty()) return names;
  const long count = Count(kSecMacroCount, store.index_path);
  // One pass over the section rather than one file read per name.
  const auto entries = GetPrivateProfileSection(kSecMacroName, store.index_path);
  for (long i = 0; i < count && i < static_cast<long>(kMaxMacros); ++i) {
    std::string value = "0";
    const std::string key = Number(i);
    for (const auto& [k, v] : entries) {
      if (k == key) {
        value = v;
        break;
      }
    }
    names.push_back(value);
  }
  return names;
}

bool EnsureCursorEntries(const MacroStore& store) {
  if (!store.cursor_entries) return true;
  if (GetPrivateProfileLong(kSecCursorCount, kKeyCount, store.index_path) != 0) return true;
  std::vector<std::string> values;
  std::vector<IniEntry> entries = {{kSecCursorCount, kKeyCount, "4"}};
  values.reserve(kCursorRoutineCount * 2);
  for (int i = 0; i < kCursorRoutineCount; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, kMacroNameFormat, i + 1);
    values.push_back(Number(i));
    values.push_back(name);
  }
  for (int i = 0; i < kCursorRoutineCount; ++i) entries.push_back({kSecCursorName, values[2 * i], values[2 * i + 1]});
  return WritePrivateProfileStrings(entries, store.index_path);
}

MacroResult CreateMacro(const MacroStore& store, std::string& new_name) {
  const std::vector<std::string> names = LoadMacroNames(store);
  if (names.size() >= kMaxMacros) return MacroResult::LimitReached;
  new_name = NextName(names);
  return AppendToIndex(store, names.size(), new_name) ? MacroResult::Ok : MacroResult::FileError;
}

std::vector<std::string> LoadMacroLines(const MacroStore& store, const std::string& name, MacroResult* result) {
  std::vector<std::string> lines;
  if (result != nullptr) *result = MacroResult::Ok;
  const std::string path = MacroFilePath(store, name);
  if (path.empty()) return lines;
  const long count = Count(kSecActionCount, path);
  if (count > kMaxMacroActions) {
    DebugLineF("macro file %s: count %ld is above %ld; not read", path.c_str(), count, kMaxMacroActions);
    if (result != nullptr) *result = MacroResult::BadFile;
    return lines;
  }
  const auto entries = GetPrivateProfileSection(kSecAction, path);
  // Keys missing from the file read as "0", as single reads would; the
  // section lookup keeps the cost one file read per macro.
  std::vector<const std::string*> by_index(static_cast<size_t>(count), nullptr);
  for (const auto& [k, v] : entries) {
    char* end = nullptr;
    const long i = std::strtol(k.c_str(), &end, 10);
    if (end == k.c_str() || *end != '\0' || i < 0 || i >= count) continue;
    if (by_index[static_cast<size_t>(i)] == nullptr) by_index[static_cast<size_t>(i)] = &v;
  }
  lines.reserve(static_cast<size_t>(count));
  for (const std::string* v : by_index) lines.push_back(v != nullptr ? *v : "0");
  return lines;
}

std::string MacroFileProblem(const std::vector<uint8_t>& bytes, long max_actions, long* actions) {
  const IniDocument doc = IniDocument::Parse(bytes.data(), bytes.size());
  std::string text;
  if (!doc.Get(kSecActionCount, kKeyCount, text)) return "it has no [MACROACTIONCOUNT] count";
  char* end = nullptr;
  errno = 0;
  const long count = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || errno == ERANGE || count < 0)
    return "its action count '" + text + "' is not a number of actions";
  if (actions != nullptr) *actions = count;
  if (count > max_actions)
    return "it has " + text + " actions, more than the " + std::to_string(max_actions) + " it may hold";
  std::vector<bool> seen(static_cast<size_t>(count), false);
  for (const auto& [k, v] : doc.Entries(kSecAction)) {
    const long i = std::strtol(k.c_str(), &end, 10);
    if (end == k.c_str() || *end != '\0' || i < 0 || i >= count) continue;
    MacroAction a;
    if (!ParseActionLine(CutToChars(v, kIniBufferChars - 1), a))
      return "action " + k + " ('" + CutToChars(v, 40) + "') is not an action line";
    seen[static_cast<size_t>(i)] = true;
  }
  for (size_t i = 0; i < seen.size(); ++i)
    if (!seen[i]) return "action " + std::to_string(i) + " is missing";
  return {};
}

namespace {

bool WriteMacroFile(const std::string& path, const std::string* name, const std::vector<std::string>& lines) {
  std::vector<std::string> keys;
  keys.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) keys.push_back(Number(static_cast<long>(i)));
  const std::string count = Number(static_cast<long>(lines.size()));
  std::vector<IniEntry> entries = {{kSecActionCount, kKeyCount, count}};
  if (name != nullptr) entries.push_back({kSecSelectName, kKeyName, *name});
  for (size_t i = 0; i < lines.size(); ++i) entries.push_back({kSecAction, keys[i], lines[i]});
  return WritePrivateProfileStrings(entries, path);
}

}  // namespace

MacroResult SaveMacro(const MacroStore& store, int index, const std::vector<std::string>& lines) {
  const std::vector<std::string> names = LoadMacroNames(store);
  if (index < 0 || index >= static_cast<int>(names.size())) return MacroResult::NoSuchMacro;
  const std::string& name = names[static_cast<size_t>(index)];
  const std::string path = MacroFilePath(store, name);
  if (path.empty()) return MacroResult::BadName;
  return WriteMacroFile(path, &name, lines) ? MacroResult::Ok : MacroResult::FileError;
}

MacroResult RenameMacro(const MacroStore& store, int index, const std::string& new_name,
                        const std::vector<std::string>& lines) {
  const std::vector<std::string> names = LoadMacroNames(store);
  if (index < 0 || index >= static_cast<int>(names.size())) return MacroResult::NoSuchMacro;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!SameMacroName(names[i], new_name)) continue;
    return static_cast<int>(i) == index ? MacroResult::NameUnchanged : MacroResult::DuplicateName;
  }
  const std::string new_path = MacroFilePath(store, new_name);
  const std::string old_path = MacroFilePath(store, names[static_cast<size_t>(index)]);
  if (new_path.empty() || old_path.empty()) return MacroResult::BadName;
  if (FileExists(new_path)) return MacroResult::FileExists;
  if (!WriteMacroFile(old_path, nullptr, lines)) return MacroResult::FileError;
  if (::rename(old_path.c_str(), new_path.c_str()) != 0) {
    DebugLineF("macro rename %s -> %s failed: errno %d", old_path.c_str(), new_path.c_str(), errno);
    return MacroResult::FileError;
  }
  if (!WritePrivateProfileString(kSecSelectName, kKeyName, new_name, new_path) ||
      !WritePrivateProfileString(kSecMacroName, Number(index), new_name, store.index_path)) {
    // Put the file back so the index and the folder agree again.
    if (::rename(new_path.c_str(), old_path.c_str()) != 0) DebugLineF("macro rename undo failed: errno %d", errno);
    return MacroResult::FileError;
  }
  return MacroResult::Ok;
}

bool MacroIsAssigned(const AssignmentBlocks& b, int index) {
  for (uint8_t* block : b.blocks) {
    if (block == nullptr) continue;
    for (size_t e = 0; e < b.entries; ++e) {
      const uint8_t* entry = block + e * 3;
      if ((entry[0] == kKeyTypeMacro || entry[0] == kKeyTypeMacroRepeat) && entry[1] == index) return true;
    }
  }
  return false;
}

std::vector<ButtonReset> RenumberAfterDelete(AssignmentBlocks& b, int index) {
  std::vector<ButtonReset> resets;
  for (size_t k = 0; k < b.blocks.size(); ++k) {
    uint8_t* block = b.blocks[k];
    if (block == nullptr) continue;
    for (size_t e = 0; e < b.entries; ++e) {
      uint8_t* entry = block + e * 3;
      if (entry[0] != kKeyTypeMacro && entry[0] != kKeyTypeMacroRepeat) continue;
      if (entry[1] == index) {
        if (b.defaults != nullptr) {
          for (int i = 0; i < 3; ++i) entry[i] = b.defaults[e * 3 + i];
        }
        resets.push_back({static_cast<int>(k), static_cast<int>(e)});
      } else if (entry[1] > index) {
        --entry[1];
      }
    }
  }
  return resets;
}

MacroResult DeleteMacro(const MacroStore& store, int index) {
  std::vector<std::string> names = LoadMacroNames(store);
  if (index < 0 || index >= static_cast<int>(names.size())) return MacroResult::NoSuchMacro;
  const std::string path = MacroFilePath(store, names[static_cast<size_t>(index)]);
  names.erase(names.begin() + index);
  // The index first: a macro whose file is left over is harmless, a listed
  // macro without its file would shift every later number.
  if (!WriteIndex(store, names)) return MacroResult::FileError;
  if (!path.empty() && ::unlink(ResolveExtensionCase(path).c_str()) != 0 && errno != ENOENT)
    DebugLineF("macro file %s could not be removed: errno %d", path.c_str(), errno);
  return MacroResult::Ok;
}

std::string FormatCountMessage(std::string_view format, uint64_t number) {
  for (std::string_view spec : {"%d", "%u", "%ld", "%lu"}) {
    const size_t at = format.find(spec);
    if (at == std::string_view::npos) continue;
    return std::string(format.substr(0, at)) + std::to_string(number) + std::string(format.substr(at + spec.size()));
  }
  return std::string(format);
}

MacroResult ImportMacro(const MacroStore& store, const std::string& source, std::string& new_name,
                        std::string* problem) {
  const std::vector<std::string> names = LoadMacroNames(store);
  if (names.size() >= kMaxMacros) return MacroResult::LimitReached;
  std::vector<uint8_t> bytes;
  if (const FileReadResult read = ReadRegularFile(source, bytes, kMaxMacroFileBytes); read != FileReadResult::Ok) {
    if (problem != nullptr) *problem = DescribeFileRead(read, source, kMaxMacroFileBytes);
    return MacroResult::FileError;
  }
  if (std::string why = MacroFileProblem(bytes, kMaxMacroActions); !why.empty()) {
    if (problem != nullptr) *problem = "'" + source + "' is not a macro file: " + why;
    return MacroResult::BadFile;
  }
  new_name = NextName(names);
  const std::string path = MacroFilePath(store, new_name);
  if (path.empty()) return MacroResult::BadName;
  if (!WriteFileAtomic(path, bytes.data(), bytes.size())) return MacroResult::FileError;
  if (!AppendToIndex(store, names.size(), new_name)) {
    ::unlink(path.c_str());
    return MacroResult::FileError;
  }
  return MacroResult::Ok;
}

MacroResult ExportMacro(const MacroStore& store, const std::string& name, const std::string& destination) {
  std::string listed;
  for (const std::string& n : LoadMacroNames(store))
    if (listed.empty() && SameMacroName(n, name)) listed = n;
  if (listed.empty()) return MacroResult::NoSuchMacro;
  const std::string path = MacroFilePath(store, listed);
  if (path.empty()) return MacroResult::BadName;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(ResolveExtensionCase(path), bytes)) return MacroResult::FileError;
  return WriteFileAtomic(destination, bytes.data(), bytes.size()) ? MacroResult::Ok : MacroResult::FileError;
}

}  // namespace trx::macro
