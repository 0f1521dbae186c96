#include "backup/device_backup.h"

#include <ctime>
#include <mutex>

#include "device/commands.h"
#include "platform/debug_log.h"

namespace trx::backup {
namespace {

bool Stopping(IProgressReporter* progress) { return progress != nullptr && progress->StopRequested(); }

// Counts finished steps for the progress receiver.
class Steps {
 public:
  Steps(IProgressReporter* progress, int total, int done = 0) : progress_(progress), done_(done) {
    if (progress_ != nullptr && done_ == 0) progress_->Begin(total);
  }
  void Next() {
    if (progress_ != nullptr) progress_->Advance(++done_);
  }
  int Done() const { return done_; }

 private:
  IProgressReporter* progress_;
  int done_;
};

BackupRegion Region(RegionType type, int index, uint32_t address, std::vector<uint8_t> data) {
  BackupRegion r;
  r.type = type;
  r.index = static_cast<uint8_t>(index);
  r.flags = type == RegionType::MainBlock     ? kRegionFromDevice
            : type == RegionType::MacroMemory ? kRegionRestored
                                              : kRegionFromDevice | kRegionRestored;
  r.address = address;
  r.data = std::move(data);
  return r;
}

// The reads between Begin and End; `steps` counts them.
DeviceBackupReport ReadRegions(CDeviceChannel& channel, BackupImage& image, IProgressReporter* progress, Steps& steps) {
  DeviceBackupReport report;
  auto failed = [&](CommandResult rc, std::string region) {
    report.result = DeviceBackupResult::DeviceError;
    report.device_result = rc;
    report.region = std::move(region);
    return report;
  };
  CommandResult rc = ReadDeviceInformation(channel, image.info.data());
  if (rc != kResultOk) return failed(rc, "device information");
  image.kind = channel.kind;
  image.vendor_id = channel.transport.attributes.vendor_id;
  image.product_id = channel.transport.attributes.product_id;
  image.block_size = BlockSizeFor(channel.kind, image.info.data());
  if (image.block_size > kMaxKeyBlockSize) {
    report.result = DeviceBackupResult::BlockTooLarge;
    return report;
  }
  if (channel.kind == DeviceKind::Keyboard) channel.block_size = image.block_size;
  steps.Next();
  const bool keys = channel.kind != DeviceKind::MousePad;
  if (keys) {
    std::vector<uint8_t> block(image.block_size, 0);
    rc = ReadMainBlock(channel, block.data());
    if (rc != kResultOk) return failed(rc, RegionName(RegionType::MainBlock, 0));
    image.regions.push_back(Region(RegionType::MainBlock, 0, 0, std::move(block)));
    steps.Next();
  }
  for (int k = 0; k < kBackupRecordCount; ++k) {
    if (Stopping(progress)) {
      report.result = DeviceBackupResult::Stopped;
      return report;
    }
    std::vector<uint8_t> record(kSettingsRecordBytes, 0);
    const uint16_t address = static_cast<uint16_t>(k * kSettingsRecordStride);
    rc = ReadSettingsBytes(channel, address, record.data(), record.size());
    if (rc != kResultOk) return failed(rc, RegionName(RegionType::Settings, k));
    image.regions.push_back(Region(RegionType::Settings, k, address, std::move(record)));
    if (keys) {
      std::vector<uint8_t> block(image.block_size, 0);
      rc = ReadKeyBlock(channel, k, block.data());
      if (rc != kResultOk) return failed(rc, RegionName(RegionType::KeyBlock, k));
      image.regions.push_back(Region(RegionType::KeyBlock, k, static_cast<uint32_t>(k * kKeyBlockAddressStride),
                                     std::move(block)));
    }
    steps.Next();
  }
  if (channel.kind == DeviceKind::Mouse) {
    std::vector<uint8_t> routine(kRoutineHeaderSize, 0);
    rc = ReadRoutineMemory(channel, routine.data(), routine.size());
    if (rc != kResultOk) return failed(rc, RegionName(RegionType::RoutineMemory, 0));
    const size_t total = routine[2] | (routine[3] << 8);
    const bool image_there = routine[0] == 0xAA && routine[1] == 0x55;
    if (image_there && total > kRoutineHeaderSize && total <= kRoutineMemoryMax) {
      routine.assign(total, 0);
      rc = ReadRoutineMemory(channel, routine.data(), routine.size());
      if (rc != kResultOk) return failed(rc, RegionName(RegionType::RoutineMemory, 0));
    }
    image.regions.push_back(Region(RegionType::RoutineMemory, 0, 0, std::move(routine)));
    steps.Next();
  }
  return report;
}

// Begin, the reads, End (End also after a failure once Begin went out).
DeviceBackupReport ReadAll(CDeviceChannel& channel, BackupImage& image, IProgressReporter* progress, Steps& steps) {
  const CommandResult begin = BeginTransfer(channel);
  if (begin != kResultOk) {
    DeviceBackupReport report;
    report.result = DeviceBackupResult::DeviceError;
    report.device_result = begin;
    report.region = "begin transfer";
    return report;
  }
  DeviceBackupReport report = ReadRegions(channel, image, progress, steps);
  const CommandResult end = EndTransfer(channel);
  if (report.result == DeviceBackupResult::Ok && end != kResultOk) {
    report.result = DeviceBackupResult::DeviceError;
    report.device_result = end;
    report.region = "end transfer";
  }
  steps.Next();
  return report;
}

const BackupRegion* Find(const BackupImage& image, RegionType type, int index) {
  for (const BackupRegion& r : image.regions)
    if (r.type == type && r.index == index) return &r;
  return nullptr;
}

CommandResult Write(CDeviceChannel& channel, const BackupRegion& r) {
  switch (r.type) {
    case RegionType::Settings:
      return WriteSettingsBytes(channel, static_cast<uint16_t>(r.address), r.data.data(), r.data.size());
    case RegionType::KeyBlock: return WriteKeyBlock(channel, r.index, r.data.data());
    case RegionType::RoutineMemory: return WriteRoutineMemory(channel, r.data.data(), r.data.size());
    case RegionType::MacroMemory: return WriteMacroMemory(channel, r.data.data(), r.data.size());
    case RegionType::MainBlock: break;
  }
  return kResultOk;
}

}  // namespace

int ReadSteps(DeviceKind kind) {
  // information, (main block), five records, (routine memory), end
  return 1 + (kind != DeviceKind::MousePad ? 1 : 0) + kBackupRecordCount + (kind == DeviceKind::Mouse ? 1 : 0) + 1;
}

DeviceBackupReport ReadDeviceBackup(CDeviceChannel& channel, const std::vector<uint8_t>& macro_memory,
                                    BackupImage& out, IProgressReporter* progress) {
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  Steps steps(progress, ReadSteps(channel.kind));
  BackupImage image;
  DeviceBackupReport report = ReadAll(channel, image, progress, steps);
  if (report.result != DeviceBackupResult::Ok) return report;
  const size_t capacity = MacroCapacityOf(image.info.data());
  if (channel.kind != DeviceKind::MousePad && !macro_memory.empty()) {
    if (macro_memory.size() <= capacity) image.regions.push_back(Region(RegionType::MacroMemory, 0, 0, macro_memory));
    else DebugLineF("backup: the macro library's image (%zu bytes) exceeds the device's %zu; not kept",
                    macro_memory.size(), capacity);
  }
  image.created = static_cast<int64_t>(std::time(nullptr));
  out = std::move(image);
  return report;
}

const char* RestoreResultName(RestoreResult result) {
  switch (result) {
    case RestoreResult::Ok: return "restored; the device reads back as the backup";
    case RestoreResult::OtherKind: return "the backup is of another kind of device; nothing was written";
    case RestoreResult::OtherProduct: return "the backup is of another product; nothing was written";
    case RestoreResult::OtherSizes:
      return "the backup's key blocks or macro memory do not fit this device; nothing was written";
    case RestoreResult::ReadFailed: return "the device information could not be read; nothing was written";
    case RestoreResult::WriteFailed: return "a write failed; the device holds part of the backup";
    case RestoreResult::ReadBackFailed: return "written, but the device could not be read back to check it";
    case RestoreResult::Differs: return "written, but the device reads back differently";
    case RestoreResult::Stopped: return "stopped before the end; the device holds part of the backup";
  }
  return "unknown result";
}

int RestoreSteps(const BackupImage& image) {
  int writes = 0;
  for (const BackupRegion& r : image.regions)
    if ((r.flags & kRegionRestored) != 0) ++writes;
  return 1 + writes + ReadSteps(image.kind);
}

RestoreReport RestoreDeviceBackup(CDeviceChannel& channel, const BackupImage& image, IProgressReporter* progress) {
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  Steps steps(progress, RestoreSteps(image));
  RestoreReport report;
  // Everything is checked before the first write.
  if (image.kind != channel.kind) {
    report.result = RestoreResult::OtherKind;
    return report;
  }
  std::array<uint8_t, kBackupInfoSize> info{};
  const CommandResult rc = ReadDeviceInformation(channel, info.data());
  if (rc != kResultOk) {
    report.result = RestoreResult::ReadFailed;
    report.device_result = rc;
    return report;
  }
  if (image.product_id != channel.transport.attributes.product_id) {
    report.result = RestoreResult::OtherProduct;
    return report;
  }
  const BackupRegion* macro = Find(image, RegionType::MacroMemory, 0);
  if (image.block_size != BlockSizeFor(channel.kind, info.data()) ||
      (macro != nullptr && macro->data.size() > MacroCapacityOf(info.data()))) {
    report.result = RestoreResult::OtherSizes;
    return report;
  }
  report.information_differs = info != image.info;
  if (channel.kind == DeviceKind::Keyboard) channel.block_size = image.block_size;
  steps.Next();

  for (const BackupRegion& r : image.regions) {
    if ((r.flags & kRegionRestored) == 0) continue;
    if (Stopping(progress)) {
      report.result = RestoreResult::Stopped;
      return report;
    }
    CommandResult result = BeginTransfer(channel);
    if (result == kResultOk) result = Write(channel, r);
    if (channel.transfer_open.load()) {
      const CommandResult end = EndTransfer(channel);
      if (result == kResultOk) result = end;
    }
    if (result != kResultOk) {
      report.result = RestoreResult::WriteFailed;
      report.device_result = result;
      report.region = RegionName(r);
      return report;
    }
    report.written.push_back(RegionName(r));
    if (r.type == RegionType::MacroMemory) report.macro_memory_written = true;
    steps.Next();
  }

  BackupImage back;
  const DeviceBackupReport read = ReadAll(channel, back, progress, steps);
  if (read.result == DeviceBackupResult::Stopped) {
    report.result = RestoreResult::Stopped;
    return report;
  }
  if (read.result != DeviceBackupResult::Ok) {
    report.result = RestoreResult::ReadBackFailed;
    report.device_result = read.device_result;
    report.region = read.region;
    return report;
  }
  for (const BackupRegion& r : image.regions) {
    if ((r.flags & kRegionFromDevice) == 0) continue;
    const BackupRegion* now = Find(back, r.type, r.index);
    if (now == nullptr || now->data != r.data) report.differing.push_back(RegionName(r));
  }
  report.result = report.differing.empty() ? RestoreResult::Ok : RestoreResult::Differs;
  return report;
}

}  // namespace trx::backup
