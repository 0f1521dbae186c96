// Feeds arbitrary request frames to the simulated devices' firmware: every
// address, length and command must be answered (or refused) without
// touching memory outside the device's memories, and the memories keep
// their sizes. The first input byte picks the device kind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sim/firmware_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const trx::sim::SimKind kinds[] = {trx::sim::SimKind::Mouse, trx::sim::SimKind::Keyboard,
                                     trx::sim::SimKind::MousePad};
  trx::sim::SimFirmware firmware(kinds[data[0] % 3]);
  firmware.SetRecording(false);
  const size_t settings = firmware.Settings().size();
  const size_t keys = firmware.KeyMemory().size();
  const size_t routine = firmware.RoutineMemory().size();
  ++data;
  --size;
  // Whole frames, and a short last one (zero-padded by the model).
  for (size_t offset = 0; offset < size; offset += trx::sim::kSimFrameSize) {
    const size_t n = size - offset < trx::sim::kSimFrameSize ? size - offset : trx::sim::kSimFrameSize;
    const trx::sim::SimResponse r = firmware.HandleRequest(data + offset, n);
    if (r.reply && r.frame[0] != 4) std::abort();
  }
  if (firmware.Settings().size() != settings || firmware.KeyMemory().size() != keys ||
      firmware.RoutineMemory().size() != routine)
    std::abort();
  return 0;
}
