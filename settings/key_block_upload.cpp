#include "settings/key_block_upload.h"

#include <cstring>

#include "device/commands.h"
#include "settings/config_images.h"

namespace trx {

CommandResult UploadMouseKeyBlocks(CDeviceChannel& channel, IProgressReporter& progress) {
  // Write key block moves the channel's block size from each source.
  if (channel.block_size > kKeyBlockSize) return kResultWriteFailed;
  uint8_t blocks[kOnboardProfileCount][kKeyBlockSize];
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    std::memcpy(blocks, Images().mouse.key_blocks, sizeof blocks);
  }
  progress.Begin(kKeyBlockUploadSteps);
  int step = 0;
  CommandResult result = BeginTransfer(channel);
  if (result != kResultOk) return result;
  progress.Advance(++step);
  for (int k = 0; k < kOnboardProfileCount && result == kResultOk; ++k) {
    if (progress.StopRequested()) {
      result = kResultNoReply;
      break;
    }
    result = WriteKeyBlock(channel, k, blocks[k]);
    if (result == kResultOk) progress.Advance(++step);
  }
  const CommandResult end = EndTransfer(channel);
  if (result == kResultOk) {
    result = end;
    if (end == kResultOk) progress.Advance(++step);
  }
  return result;
}

}  // namespace trx
