#pragma once
// The mouse connect-read sequence and the interface search, as the presence
// detection runs them, packaged for the command-line tool, the benchmark and
// the tests that drive a simulated mouse end to end.
//
// Thread safety: run on one thread per channel; the exchanges take the
// channel lock themselves.

#include <array>
#include <cstdint>
#include <vector>

#include "device/commands.h"
#include "device/device_channel.h"

namespace trx::sim {

inline constexpr int kMouseRecords = 5;
inline constexpr size_t kMouseRecordRead = 56;  // bytes read per settings record

struct MouseSnapshot {
  std::array<uint8_t, 33> info{};
  std::vector<uint8_t> main_block;                         // block_size bytes
  std::array<std::array<uint8_t, 64>, kMouseRecords> settings{};  // bytes 0..55 read
  std::array<std::vector<uint8_t>, kMouseRecords> key_blocks;      // block_size bytes each
  uint8_t active_profile = 0;
};

// Lists the interfaces, opens the first whose path vendor id, attributes
// (vendor, product) and top-level collection (usage page, usage) match the
// channel's identities, and marks the channel connected. True when found.
bool ConnectMatchingInterface(CDeviceChannel& channel);

// Begin; device information; main block; for k = 0..4 settings at k*64
// (56 bytes) then key block k; 1 byte at address 0; End. A failing command
// leaves its part of the snapshot as it was and the sequence goes on.
// Returns Ok when every command succeeded, else the first failure's result.
CommandResult ReadMouseSnapshot(CDeviceChannel& channel, MouseSnapshot& snapshot);

// Number of exchanges ReadMouseSnapshot makes with a given block size.
int MouseConnectExchanges(size_t block_size);

}  // namespace trx::sim
