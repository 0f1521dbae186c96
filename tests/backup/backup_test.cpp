// Backup files, restore checks, the store and the automatic first backup.

#include <gtest/gtest.h>

#include <algorithm>

#include "backup/backup_format.h"
#include "backup/backup_store.h"
#include "backup/device_backup.h"
#include "device/commands.h"
#include "sim/firmware_model.h"
#include "sim/sim_backend.h"
#include "tests/platform/temp_home.h"

namespace trx::backup {
namespace {

using trx::test::TempHome;

bool IsWrite(uint8_t command) {
  return command == kCmdWriteSettings || command == kCmdWriteKeyBlock || command == kCmdResetDefaults ||
         command == kCmdWriteMacroMemory || command == kCmdWriteRoutineMemory;
}

class BackupTest : public ::testing::Test {
 protected:
  // A channel open on a new simulated device of `kind`.
  CDeviceChannel& Attach(sim::SimKind kind, uint16_t product_id = 0) {
    firmware = std::make_shared<sim::SimFirmware>(kind, product_id);
    const int id = backend->AddDevice(firmware);
    const DeviceKind kinds[] = {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad};  // by SimKind
    channel = std::make_unique<CDeviceChannel>(kinds[static_cast<int>(kind)], backend);
    channel->transport.want_read = channel->transport.want_write = true;
    channel->transport.device_path = backend->VendorPath(id);
    EXPECT_EQ(channel->transport.Open(), 1);
    channel->connected = 1;
    return *channel;
  }
  BackupImage Read(const std::vector<uint8_t>& macro = {}) {
    BackupImage image;
    EXPECT_EQ(ReadDeviceBackup(*channel, macro, image).result, DeviceBackupResult::Ok);
    return image;
  }
  std::vector<uint8_t> WriteCommands() {
    std::vector<uint8_t> out;
    for (const sim::SimFrame& f : firmware->Requests())
      if (IsWrite(f[3])) out.push_back(f[3]);
    return out;
  }

  TempHome home;
  std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>();
  std::shared_ptr<sim::SimFirmware> firmware;
  std::unique_ptr<CDeviceChannel> channel;
};

TEST_F(BackupTest, TheReaderRefusesEveryCutAndEveryFlippedByte) {
  Attach(sim::SimKind::MousePad);
  const BackupImage image = Read();
  const std::vector<uint8_t> bytes = EncodeBackup(image);
  BackupImage back;
  ASSERT_EQ(DecodeBackup(bytes.data(), bytes.size(), back), BackupReadResult::Ok);
  EXPECT_EQ(back, image);
  for (size_t n = 0; n < bytes.size(); ++n)
    EXPECT_NE(DecodeBackup(bytes.data(), n, back), BackupReadResult::Ok) << "cut at " << n;
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::vector<uint8_t> flipped = bytes;
    flipped[i] ^= 0xFF;
    EXPECT_NE(DecodeBackup(flipped.data(), flipped.size(), back), BackupReadResult::Ok) << "byte " << i;
  }
  std::vector<uint8_t> newer = bytes;
  newer[8] = kBackupFormatVersion + 1;
  EXPECT_EQ(DecodeBackup(newer.data(), newer.size(), back), BackupReadResult::NewerVersion);
  std::vector<uint8_t> padded = bytes;
  padded.push_back(0);
  EXPECT_NE(DecodeBackup(padded.data(), padded.size(), back), BackupReadResult::Ok);
}

TEST_F(BackupTest, AFileThatDoesNotFitTheDeviceWritesNothing) {
  // A keyboard of another layout variant (product id); a mouse given a pad's file.
  Attach(sim::SimKind::Keyboard);
  const BackupImage keyboard = Read();
  Attach(sim::SimKind::Keyboard, sim::kKeyboardProductIdAlt1);
  firmware->ClearRequests();
  EXPECT_EQ(RestoreDeviceBackup(*channel, keyboard).result, RestoreResult::OtherProduct);
  EXPECT_TRUE(WriteCommands().empty());
  Attach(sim::SimKind::MousePad);
  const BackupImage pad = Read();
  Attach(sim::SimKind::Mouse);
  firmware->ClearRequests();
  EXPECT_EQ(RestoreDeviceBackup(*channel, pad).result, RestoreResult::OtherKind);
  EXPECT_EQ(firmware->RequestCount(), 0u);
  // A smaller macro memory than the file's macro region.
  BackupImage big = Read(std::vector<uint8_t>(64, 1));
  firmware->SetInfoByte(sim::kInfoMacroUnits, 0);
  firmware->ClearRequests();
  EXPECT_EQ(RestoreDeviceBackup(*channel, big).result, RestoreResult::OtherSizes);
  EXPECT_TRUE(WriteCommands().empty());
}

TEST_F(BackupTest, RestoreWritesEveryRegionAndNamesWhatReadsBackDifferently) {
  Attach(sim::SimKind::Mouse);
  const std::vector<uint8_t> factory = firmware->SaveMemory();
  const uint8_t record[3] = {2, 9, 9};
  const std::vector<uint8_t> keys(512, 0x21);
  ASSERT_EQ(WriteSettingsBytes(*channel, 64 + 5, record, 3), kResultOk);
  ASSERT_EQ(WriteKeyBlock(*channel, 3, keys.data()), kResultOk);
  const std::vector<uint8_t> macro = {0xAA, 0x55, 22, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0, 0, 0, 0, 0};
  ASSERT_EQ(WriteMacroMemory(*channel, macro.data(), macro.size()), kResultOk);
  BackupImage image = Read(macro);
  const std::vector<uint8_t> changed = firmware->SaveMemory();

  Attach(sim::SimKind::Mouse);
  ASSERT_EQ(firmware->SaveMemory(), factory);
  RestoreReport r = RestoreDeviceBackup(*channel, image);
  EXPECT_EQ(r.result, RestoreResult::Ok) << RestoreResultName(r.result);
  EXPECT_EQ(r.written.size(), 12u);  // 5 records, 5 key blocks, routine and macro memory
  EXPECT_TRUE(r.macro_memory_written);
  EXPECT_EQ(firmware->SaveMemory(), changed);

  // The main block can't be written: a differing one is named after the writes.
  image.regions[0].data[7] ^= 1;
  ASSERT_EQ(image.regions[0].type, RegionType::MainBlock);
  r = RestoreDeviceBackup(*channel, image);
  EXPECT_EQ(r.result, RestoreResult::Differs);
  EXPECT_EQ(r.differing, std::vector<std::string>{"main block"});
}

TEST_F(BackupTest, TheStoreKeepsTheNewestTenPerDevice) {
  Attach(sim::SimKind::MousePad);
  BackupImage image = Read();
  std::vector<std::string> paths;
  for (int i = 0; i < 12; ++i) {
    image.created = 1'800'000'000 + i * 60;
    std::string path;
    ASSERT_EQ(SaveToStore(image, path), StoreResult::Saved);
    paths.push_back(path);
  }
  const std::vector<StoredBackup> kept = ListStoredBackups(DeviceBackupKey(image));
  ASSERT_EQ(kept.size(), kMaxStoredBackups);
  EXPECT_EQ(kept.front().path, paths[2]);
  EXPECT_EQ(kept.back().path, paths[11]);
  EXPECT_TRUE(kept.back().valid);
  EXPECT_EQ(ListStoredBackups().size(), kMaxStoredBackups);
}

TEST_F(BackupTest, TheFirstWriteOfADeviceNeverBackedUpSavesOneBackupFirst) {
  CDeviceChannel& mouse = Attach(sim::SimKind::Mouse);
  InstallAutomaticBackup(mouse);
  const std::vector<uint8_t> memory = firmware->SaveMemory();
  // A first write inside Begin ... End: the backup runs between an End and a new Begin.
  ASSERT_EQ(BeginTransfer(mouse), kResultOk);
  const uint8_t one = 1;
  ASSERT_EQ(WriteSettingsBytes(mouse, 64 + 2, &one, 1), kResultOk);
  ASSERT_EQ(EndTransfer(mouse), kResultOk);
  ASSERT_EQ(WriteSettingsBytes(mouse, 64 + 3, &one, 1), kResultOk);
  const std::vector<sim::SimFrame> frames = firmware->Requests();
  const auto first_write = std::find_if(frames.begin(), frames.end(), [](const sim::SimFrame& f) { return IsWrite(f[3]); });
  ASSERT_NE(first_write, frames.end());
  const size_t at = static_cast<size_t>(first_write - frames.begin());
  ASSERT_GT(at, 20u);
  EXPECT_EQ(frames[1][3], kCmdEndTransfer);
  EXPECT_EQ(frames[at - 1][3], kCmdBeginTransfer);
  EXPECT_EQ(frames[at - 2][3], kCmdEndTransfer);

  std::vector<StoredBackup> stored = ListStoredBackups();
  ASSERT_EQ(stored.size(), 1u);
  BackupImage saved;
  BackupReadResult why = BackupReadResult::Ok;
  ASSERT_EQ(LoadBackupFile(stored[0].path, saved, why), LoadResult::Ok);
  // The backup holds the memory as it was before the write.
  Attach(sim::SimKind::Mouse);
  ASSERT_EQ(RestoreDeviceBackup(*channel, saved).result, RestoreResult::Ok);
  EXPECT_EQ(firmware->SaveMemory(), memory);

  // A new connection of the same device: backed up already, nothing more.
  CDeviceChannel& again = Attach(sim::SimKind::Mouse);
  InstallAutomaticBackup(again);
  ASSERT_EQ(WriteSettingsBytes(again, 64 + 2, &one, 1), kResultOk);
  EXPECT_EQ(ListStoredBackups().size(), 1u);
}

}  // namespace
}  // namespace trx::backup
