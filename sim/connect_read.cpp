#include "sim/connect_read.h"

#include "device/commands.h"

namespace trx::sim {

int ConnectMatchingInterface(CDeviceChannel& channel) {
  CHidDevice& hid = channel.transport;
  if (hid.EnumerateHidPaths() != 1) return 0;
  const std::vector<std::string> paths = hid.path_list;
  for (const std::string& path : paths) {
    if (ParsePathVendorId(path) != channel.vendor_id) continue;
    hid.want_read = true;
    hid.want_write = true;
    hid.overlapped = true;
    hid.exclusive = false;
    hid.device_path = path;
    if (hid.Open() != 1) continue;
    if (hid.attributes.vendor_id == channel.vendor_id && hid.attributes.product_id == channel.product_id &&
        hid.capabilities.usage_page == channel.usage_page && hid.capabilities.usage == channel.usage) {
      channel.connected = 1;
      return 1;
    }
    hid.Close();
  }
  return 0;
}

int ReadMouseSnapshot(CDeviceChannel& channel, MouseSnapshot& snapshot) {
  int first_failure = kResultOk;
  auto note = [&first_failure](int result) {
    if (result != kResultOk && first_failure == kResultOk) first_failure = result;
  };
  snapshot.main_block.resize(channel.block_size);
  for (auto& block : snapshot.key_blocks) block.resize(channel.block_size);

  note(BeginTransfer(channel));
  note(ReadDeviceInformation(channel, snapshot.info.data()));
  note(ReadMainBlock(channel, snapshot.main_block.data()));
  for (int k = 0; k < kMouseRecords; ++k) {
    note(ReadSettingsBytes(channel, static_cast<uint16_t>(k * 64), snapshot.settings[k].data(), kMouseRecordRead));
    note(ReadKeyBlock(channel, k, snapshot.key_blocks[k].data()));
  }
  note(ReadSettingsBytes(channel, 0, &snapshot.active_profile, 1));
  note(EndTransfer(channel));
  return first_failure;
}

int MouseConnectExchanges(size_t block_size) {
  const int per_block = static_cast<int>((block_size + kFramePayload - 1) / kFramePayload);
  // Begin, info, main block, 5 x (record + key block), active index, End.
  return 1 + 1 + per_block + kMouseRecords * (1 + per_block) + 1 + 1;
}

}  // namespace trx::sim
