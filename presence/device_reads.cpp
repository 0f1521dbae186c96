#include "presence/device_reads.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "device/commands.h"
#include "platform/debug_log.h"
#include "platform/program_folder.h"
#include "platform/text_ids.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "presence/presence_messages.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"

namespace trx {
namespace {

constexpr uint16_t kRecordStride = 64;
constexpr uint16_t kActiveProfileAddress = 0;

// Tracks whether every command of a routine succeeded.
class CommandLog {
 public:
  bool Ok(CommandResult result) {
    if (result != kResultOk) all_ok_ = false;
    return result == kResultOk;
  }
  bool AllOk() const { return all_ok_; }

 private:
  bool all_ok_ = true;
};

std::vector<uint8_t> BlockBuffer(const CDeviceChannel& channel) { return std::vector<uint8_t>(channel.block_size, 0); }

// Copies a block read from the device into a 512-byte image block.
void CopyBlock(uint8_t (&to)[kKeyBlockSize], const std::vector<uint8_t>& from) {
  std::memcpy(to, from.data(), std::min(from.size(), sizeof to));
}

// Saves the listed families' selected profiles when the reads were whole.
ReadOutcome Finish(const CommandLog& log, DeviceKind kind, std::initializer_list<ProfileFamily> families,
                   const char* what) {
  if (!log.AllOk()) {
    DebugLineF("%s: device read incomplete, profile files left as they were", what);
    return ReadOutcome::kReadIncomplete;
  }
  ReadOutcome outcome = ReadOutcome::kReadComplete;
  for (ProfileFamily family : families) {
    if (SaveCurrentProfile(kind, family) != ProfileSaveResult::Saved) {
      DebugLineF("%s: profile file not written", what);
      outcome = ReadOutcome::kReadSaveFailed;
    }
  }
  return outcome;
}

// The active onboard profile index: read from the device, 0-4, or -1.
int ReadActiveProfile(CDeviceChannel& channel, CommandLog& log) {
  uint8_t p = 0;
  if (!log.Ok(ReadSettingsBytes(channel, kActiveProfileAddress, &p, 1))) return -1;
  if (p >= kOnboardProfileCount) {
    DebugLineF("device reports onboard profile %u, out of range", p);
    return -1;
  }
  return p;
}

// Where a keyboard's or a pad's read lands in the image (members only
// touched under ImageMutex()).
struct LightingImage {
  uint8_t (&info)[kDeviceInfoBytes];
  uint8_t (&records)[kLightingRecordCount][kLightingRecordSize];
  uint8_t (&current)[kCurrentLightingSize];
};

// Re-read of the active lighting record of the keyboard or the pad: the
// current record goes back into its slot, then record p is read and made
// current.
void ResyncLightingRecord(CDeviceChannel& channel, CommandLog& log, const LightingImage& to) {
  auto& records = to.records;
  auto& current = to.current;
  {
    std::lock_guard<std::recursive_mutex> image(ImageMutex());
    const uint8_t slot = current[0];
    if (slot < kLightingRecordCount) std::memcpy(records[slot], current, kCurrentLightingSize);
  }
  const int p = ReadActiveProfile(channel, log);
  if (p < 0) {
    log.Ok(kResultNoReply);
    return;
  }
  std::array<uint8_t, kSettingsDeviceBytes> record{};
  if (!log.Ok(ReadSettingsBytes(channel, static_cast<uint16_t>(p * kRecordStride), record.data(), record.size()))) return;
  record[0] = static_cast<uint8_t>(p);
  std::lock_guard<std::recursive_mutex> image(ImageMutex());
  std::memcpy(records[p], record.data(), record.size());
  std::memcpy(current, record.data(), kCurrentLightingSize);
}

// Reads the device information into its image field; true when it came.
bool ReadInformationInto(CDeviceChannel& channel, CommandLog& log, uint8_t (&to)[kDeviceInfoBytes]) {
  std::array<uint8_t, kDeviceInfoSize> info{};
  if (!log.Ok(ReadDeviceInformation(channel, info.data()))) return false;
  std::lock_guard<std::recursive_mutex> image(ImageMutex());
  std::memcpy(to, info.data(), info.size());
  return true;
}

// What a lighting read does when the device names no valid active slot.
enum class UnknownActive { Incomplete, FirstSlot };

// The lighting a keyboard or a pad holds: its five slots, then the active
// one made current.
void ReadLightingSlots(CDeviceChannel& channel, CommandLog& log, const LightingImage& to, UnknownActive unknown) {
  auto& records = to.records;
  auto& current = to.current;
  for (int k = 0; k < kLightingRecordCount; ++k) {
    std::array<uint8_t, kSettingsDeviceBytes> record{};
    if (log.Ok(ReadSettingsBytes(channel, static_cast<uint16_t>(k * kRecordStride), record.data(), record.size()))) {
      std::lock_guard<std::recursive_mutex> image(ImageMutex());
      std::memcpy(records[k], record.data(), record.size());
    }
  }
  int p = ReadActiveProfile(channel, log);
  if (p < 0 && unknown == UnknownActive::Incomplete) {
    log.Ok(kResultNoReply);
    return;
  }
  if (p < 0) p = 0;
  std::lock_guard<std::recursive_mutex> image(ImageMutex());
  std::memcpy(current, records[p], kCurrentLightingSize);
  current[0] = static_cast<uint8_t>(p);
}

// A keyboard's or a pad's whole read: Begin transfer, the device
// information, `blocks` (the keyboard's key blocks; an outcome ends the read
// there, End transfer already sent), the five lighting slots, End transfer;
// then the family's profile saved when every command succeeded.
template <typename Blocks>
ReadOutcome ReadLightingDevice(IPresenceHost& host, DeviceKind kind, const LightingImage& to, UnknownActive unknown,
                               ProfileFamily family, const char* what, Blocks&& blocks) {
  CDeviceChannel& channel = host.Channel(kind);
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  CommandLog log;
  log.Ok(BeginTransfer(channel));
  ReadInformationInto(channel, log, to.info);
  if (const std::optional<ReadOutcome> stopped = blocks(channel, log)) return *stopped;
  ReadLightingSlots(channel, log, to, unknown);
  log.Ok(EndTransfer(channel));
  return Finish(log, kind, {family}, what);
}

// The re-read of a keyboard's or a pad's active lighting record after its
// own button switched it, then the light profile saved.
ReadOutcome ResyncLightingDevice(IPresenceHost& host, DeviceKind kind, const LightingImage& to, const char* what) {
  CDeviceChannel& channel = host.Channel(kind);
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  CommandLog log;
  ResyncLightingRecord(channel, log, to);
  return Finish(log, kind, {ProfileFamily::Light}, what);
}

LightingImage PadImage() {
  MousePadImage& pad = Images().pad;
  return {pad.device_info, pad.lighting_records, pad.current_record};
}

LightingImage KeyboardLightingImage() {
  KeyboardImage& kb = Images().keyboard;
  return {kb.device_info, kb.lighting_records, kb.current_record};
}

}  // namespace

ReadOutcome ReadMouseDevice(IPresenceHost& host) {
  CDeviceChannel& channel = host.Channel(DeviceKind::Mouse);
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  CommandLog log;
  log.Ok(BeginTransfer(channel));

  ReadInformationInto(channel, log, Images().mouse.device_info);
  std::vector<uint8_t> block = BlockBuffer(channel);
  if (log.Ok(ReadMainBlock(channel, block.data()))) {
    std::lock_guard<std::recursive_mutex> image(ImageMutex());
    CopyBlock(Images().mouse.main_block, block);
  }
  for (int k = 0; k < kOnboardProfileCount; ++k) {
    std::array<uint8_t, kSettingsDeviceBytes> record{};
    if (log.Ok(ReadSettingsBytes(channel, static_cast<uint16_t>(k * kRecordStride), record.data(), record.size()))) {
      std::lock_guard<std::recursive_mutex> image(ImageMutex());
      std::memcpy(Images().mouse.settings[k], record.data(), record.size());
    }
    std::fill(block.begin(), block.end(), 0);
    if (log.Ok(ReadKeyBlock(channel, k, block.data()))) {
      std::lock_guard<std::recursive_mutex> image(ImageMutex());
      CopyBlock(Images().mouse.key_blocks[k], block);
    }
  }
  const int p = ReadActiveProfile(channel, log);
  if (p >= 0) {
    std::lock_guard<std::recursive_mutex> image(ImageMutex());
    Images().mouse.LoadCurrentRecord(p);
  } else {
    log.Ok(kResultNoReply);
  }
  log.Ok(EndTransfer(channel));
  return Finish(log, DeviceKind::Mouse, {ProfileFamily::Device}, "mouse");
}

ReadOutcome ResyncMouseRecord(IPresenceHost& host) {
  CDeviceChannel& channel = host.Channel(DeviceKind::Mouse);
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  CommandLog log;
  {
    std::lock_guard<std::recursive_mutex> image(ImageMutex());
    Images().mouse.StoreCurrentRecord();
  }
  const int p = ReadActiveProfile(channel, log);
  std::array<uint8_t, kSettingsDeviceBytes> record{};
  if (p < 0) {
    log.Ok(kResultNoReply);
  } else if (log.Ok(ReadSettingsBytes(channel, static_cast<uint16_t>(p * kRecordStride), record.data(), record.size()))) {
    record[0] = static_cast<uint8_t>(p);
    std::lock_guard<std::recursive_mutex> image(ImageMutex());
    std::memcpy(Images().mouse.settings[p], record.data(), record.size());
    Images().mouse.LoadCurrentRecord(p);
  }
  return Finish(log, DeviceKind::Mouse, {ProfileFamily::Light, ProfileFamily::Device}, "mouse");
}

ReadOutcome ReadMousePadDevice(IPresenceHost& host) {
  return ReadLightingDevice(host, DeviceKind::MousePad, PadImage(), UnknownActive::Incomplete, ProfileFamily::Light,
                            "pad", [](CDeviceChannel&, CommandLog&) { return std::optional<ReadOutcome>(); });
}

ReadOutcome ResyncMousePadRecord(IPresenceHost& host) {
  return ResyncLightingDevice(host, DeviceKind::MousePad, PadImage(), "pad");
}

ReadOutcome ReadKeyboardDevice(IPresenceHost& host) {
  // The keyboard's blocks come between its information and its lighting,
  // which is read as the pad's so the lighting page shows the device's own state.
  auto blocks = [](CDeviceChannel& channel, CommandLog& log) -> std::optional<ReadOutcome> {
    KeyboardImage& kb = Images().keyboard;  // members only touched under ImageMutex()
    int block_units = 0;
    {
      std::lock_guard<std::recursive_mutex> image(ImageMutex());
      block_units = kb.device_info[kKeyboardInfoKeyCount];
    }
    const int block_size = block_units * kKeyboardBlockUnit;
    if (block_size > kKeyboardMaxBlockSize) {
      // The device is left in a clean state; its blocks are not read.
      if (EndTransfer(channel) != kResultOk) DebugLine("keyboard: end of transfer not acknowledged");
      DebugLineF("keyboard: key block of %d bytes refused", block_size);
      return ReadOutcome::kReadKeyboardBlockTooLarge;
    }
    channel.block_size = static_cast<uint16_t>(block_size);
    std::vector<uint8_t> block = BlockBuffer(channel);
    if (log.Ok(ReadMainBlock(channel, block.data()))) {
      std::lock_guard<std::recursive_mutex> image(ImageMutex());
      CopyBlock(kb.main_block, block);
    }
    std::fill(block.begin(), block.end(), 0);
    if (log.Ok(ReadKeyBlock(channel, 0, block.data()))) {
      std::lock_guard<std::recursive_mutex> image(ImageMutex());
      CopyBlock(kb.key_block, block);
    }
    return std::nullopt;
  };
  return ReadLightingDevice(host, DeviceKind::Keyboard, KeyboardLightingImage(), UnknownActive::FirstSlot,
                            ProfileFamily::Key, "keyboard", blocks);
}

ReadOutcome ResyncKeyboardRecord(IPresenceHost& host) {
  return ResyncLightingDevice(host, DeviceKind::Keyboard, KeyboardLightingImage(), "keyboard");
}

ReadOutcome CaptureKeyboardKeyBlock(IPresenceHost& host) {
  CDeviceChannel& channel = host.Channel(DeviceKind::Keyboard);
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  std::vector<uint8_t> block = BlockBuffer(channel);
  if (ReadMainBlock(channel, block.data()) != kResultOk) {
    DebugLine("keyboard: main block not read, default key file left as it was");
    return ReadOutcome::kReadIncomplete;
  }
  std::array<uint8_t, kKeyBlockSize> data{};
  int variant = 0;
  {
    std::lock_guard<std::recursive_mutex> image(ImageMutex());
    CopyBlock(Images().keyboard.main_block, block);
    std::memcpy(data.data(), Images().keyboard.main_block, data.size());
    variant = static_cast<int>(Images().keyboard.variant);
  }
  const ProfileFamilyInfo* info = FindFamily(DeviceKind::Keyboard, ProfileFamily::Key);
  const std::string path = ProgramFolder() + DefaultProfileFileName(*info, variant);
  if (WriteProfileFile(path, DeviceKind::Keyboard, data.size(), data.data()) != kProfileWriteOk) {
    return ReadOutcome::kReadSaveFailed;
  }
  return ReadOutcome::kReadComplete;
}

namespace {
struct OutcomeText {
  ReadOutcome outcome;
  const char* text_id;
};
// The other outcomes show nothing: an incomplete read or a failed save
// leaves the files as they were and is told by debug lines only.
constexpr OutcomeText kOutcomeTexts[] = {
    // The device reported settings the program cannot use.
    {ReadOutcome::kReadKeyboardBlockTooLarge, text::kCannotBeDone},
};
}  // namespace

const char* TextIdOf(ReadOutcome outcome) {
  for (const OutcomeText& row : kOutcomeTexts)
    if (row.outcome == outcome) return row.text_id;
  return nullptr;
}

void ShowReadOutcome(IPresenceHost& host, ReadOutcome outcome) {
  if (const char* id = TextIdOf(outcome)) host.ShowMessage(id);
}

}  // namespace trx
