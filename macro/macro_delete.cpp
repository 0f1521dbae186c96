#include "macro/macro_delete.h"

#include <algorithm>
#include <cstring>

#include "device/commands.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_lookup.h"
#include "platform/file_read.h"
#include "platform/ini_file.h"
#include "profile/profile_file.h"
#include "profile/profile_operations.h"
#include "settings/key_assignment.h"

namespace trx::macro {
namespace {

using Block = std::array<uint8_t, kKeyBlockSize>;

size_t EntriesOf(DeviceKind kind) { return kind == DeviceKind::Mouse ? kMouseButtonCount : kKeyAssignmentsPerBlock; }

// What the library held before the delete, to put it back.
struct LibraryBackup {
  std::vector<std::string> names;
  std::string file_path;
  std::vector<uint8_t> file_bytes;
  bool had_file = false;
};

// The file first, then the index's count and names as they were (the
// rewritten index holds the same keys less one).
bool RestoreLibrary(const MacroStore& store, const LibraryBackup& backup) {
  if (backup.had_file && !WriteFileAtomic(backup.file_path, backup.file_bytes.data(), backup.file_bytes.size()))
    return false;
  const std::string count = std::to_string(backup.names.size());
  std::vector<std::string> keys;
  for (size_t i = 0; i < backup.names.size(); ++i) keys.push_back(std::to_string(i));
  std::vector<IniEntry> entries = {{"MACROCOUNT", "count", count}};
  for (size_t i = 0; i < backup.names.size(); ++i) entries.push_back({"MACRONAME", keys[i], backup.names[i]});
  return WritePrivateProfileStrings(entries, store.index_path);
}

std::string ProfileList(const std::vector<int>& profiles) {
  std::string out;
  for (size_t i = 0; i < profiles.size(); ++i) out += (i ? ", " : "") + std::to_string(profiles[i] + 1);
  return out;
}

// Step 2: the device's blocks. Ok, or DeviceError; `restored` false (and
// `report.left_to_do` set) when blocks written could not be put back.
MacroResult RenumberDevice(CDeviceChannel& channel, DeviceKind kind, int index, Block& defaults,
                           MacroDeleteReport& report, bool& restored) {
  restored = true;
  std::array<Block, kKeyBlockCount> blocks{};
  CommandResult rc = BeginTransfer(channel);
  for (int k = 0; k < kKeyBlockCount && rc == kResultOk; ++k) rc = ReadKeyBlock(channel, k, blocks[k].data());
  if (rc == kResultOk) rc = ReadMainBlock(channel, defaults.data());
  if (const CommandResult end = EndTransfer(channel); rc == kResultOk) rc = end;
  if (rc != kResultOk) return MacroResult::DeviceError;  // nothing written

  const std::array<Block, kKeyBlockCount> before = blocks;
  AssignmentBlocks ab;
  for (int k = 0; k < kKeyBlockCount; ++k) ab.blocks[static_cast<size_t>(k)] = blocks[k].data();
  ab.defaults = defaults.data();
  ab.entries = std::min(EntriesOf(kind), static_cast<size_t>(channel.block_size) / kKeyAssignmentSize);
  report.resets = RenumberAfterDelete(ab, index);

  std::vector<int> started;
  rc = BeginTransfer(channel);
  for (int k = 0; k < kKeyBlockCount && rc == kResultOk; ++k) {
    if (blocks[k] == before[k]) continue;
    started.push_back(k);
    rc = WriteKeyBlock(channel, k, blocks[k].data());
  }
  if (const CommandResult end = EndTransfer(channel); rc == kResultOk) rc = end;
  if (rc == kResultOk) {
    report.device_renumbered = !started.empty();
    return MacroResult::Ok;
  }
  // Put back what was (or may have been) written.
  DebugLineF("macro delete: writing the key blocks failed (%d); putting them back", CommandCode(rc));
  std::vector<int> left;
  CommandResult back = BeginTransfer(channel);
  for (int k : started) {
    if (back == kResultOk) back = WriteKeyBlock(channel, k, before[k].data());
    if (back != kResultOk) left.push_back(k);
  }
  if (const CommandResult end = EndTransfer(channel); back == kResultOk) back = end;
  if (back != kResultOk && left.empty()) left = started;
  if (!left.empty()) {
    restored = false;
    report.left_to_do = "onboard profile" + std::string(left.size() > 1 ? "s " : " ") + ProfileList(left) +
                        " on the " + DeviceKindName(kind) + " may still run the old macro numbers; save the buttons of " +
                        (left.size() > 1 ? "each" : "it") + " again";
  }
  return MacroResult::DeviceError;
}

// Step 3: the key block at the start of every stored profile that holds one.
void RenumberStoredProfiles(DeviceKind kind, int index, const uint8_t* defaults, MacroDeleteReport& report) {
  std::vector<std::string> failed;
  for (const ProfileFamilyInfo* info : FamiliesOf(kind)) {
    if (info->family == ProfileFamily::Light) continue;  // no key block
    for (const std::string& name : ProfileNames(*info)) {
      const std::string path = ProfileFilePath(*info, name, false);
      if (path.empty()) continue;
      std::vector<uint8_t> data(info->data_size, 0);
      if (data.size() < kKeyBlockSize || ReadProfileFile(path, data.size(), data.data()) != kProfileReadOk) continue;
      AssignmentBlocks ab;
      ab.blocks[0] = data.data();
      ab.defaults = defaults;
      ab.entries = EntriesOf(kind);
      const std::vector<uint8_t> before = data;
      RenumberAfterDelete(ab, index);
      if (data == before) continue;
      const std::string target = ProfileFilePath(*info, name, true);
      if (target.empty() || WriteProfileFile(target, kind, data.size(), data.data()) != kProfileWriteOk)
        failed.push_back(name + info->write_extension);
    }
  }
  if (failed.empty()) return;
  std::string files;
  for (size_t i = 0; i < failed.size(); ++i) files += (i ? ", " : "") + failed[i];
  if (!report.left_to_do.empty()) report.left_to_do += "; ";
  report.left_to_do += "the stored profile" + std::string(failed.size() > 1 ? "s " : " ") + files +
                       " could not be renumbered";
}

}  // namespace

MacroDeleteReport DeleteMacroEverywhere(const MacroStore& store, DeviceKind kind, int index, CDeviceChannel* channel,
                                        const uint8_t* defaults) {
  MacroDeleteReport report;
  LibraryBackup backup;
  backup.names = LoadMacroNames(store);
  if (index < 0 || index >= static_cast<int>(backup.names.size())) {
    report.result = MacroResult::NoSuchMacro;
    return report;
  }
  backup.file_path = MacroFilePath(store, backup.names[static_cast<size_t>(index)]);
  if (!backup.file_path.empty()) {
    backup.file_path = ResolveExtensionCase(backup.file_path);
    backup.had_file = ReadRegularFile(backup.file_path, backup.file_bytes, kMaxMacroFileBytes) == FileReadResult::Ok;
  }
  // 1. The library.
  report.result = DeleteMacro(store, index);
  if (report.result != MacroResult::Ok) return report;

  // 2. The device.
  Block device_defaults{};
  if (defaults != nullptr) std::memcpy(device_defaults.data(), defaults, kKeyBlockSize);
  if (channel != nullptr) {
    bool restored = true;
    report.result = RenumberDevice(*channel, kind, index, device_defaults, report, restored);
    if (report.result != MacroResult::Ok) {
      report.resets.clear();
      if (restored && !RestoreLibrary(store, backup))
        report.left_to_do = "the macro is deleted from the library but its buttons on the " +
                            std::string(DeviceKindName(kind)) + " are not renumbered; save the buttons again";
      return report;
    }
  }
  // 3. The stored profiles.
  RenumberStoredProfiles(kind, index, device_defaults.data(), report);
  return report;
}

std::string DescribeMacroDelete(const MacroDeleteReport& report) {
  std::string line;
  switch (report.result) {
    case MacroResult::Ok: line = "deleted"; break;
    case MacroResult::DeviceError:
      line = report.left_to_do.empty() ? "the device did not take the renumbered buttons; nothing was changed"
                                       : "the device did not take the renumbered buttons";
      break;
    default: line = MacroResultName(report.result); break;
  }
  if (!report.left_to_do.empty()) line += ": " + report.left_to_do;
  return line;
}

}  // namespace trx::macro
