#include "sim/connect_read.h"

#include "device/commands.h"
#include "device/open_matching.h"

namespace trx::sim {

bool ConnectMatchingInterface(CDeviceChannel& channel) {
  InterfaceWanted wanted;
  wanted.listed = [&channel](const std::string& path) { return ParsePathVendorId(path) == channel.vendor_id; };
  wanted.matches = [&channel](const CHidDevice& h) {
    return h.attributes.vendor_id == channel.vendor_id && h.attributes.product_id == channel.product_id &&
           h.capabilities.usage_page == channel.usage_page && h.capabilities.usage == channel.usage;
  };
  if (OpenMatchingInterface(channel.transport, wanted) != OpenMatch::Opened) return false;
  channel.connected = 1;
  return true;
}

CommandResult ReadMouseSnapshot(CDeviceChannel& channel, MouseSnapshot& snapshot) {
  CommandResult first_failure = kResultOk;
  auto note = [&first_failure](CommandResult result) {
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
