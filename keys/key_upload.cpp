#include "keys/key_upload.h"

#include <cstring>

#include "platform/debug_log.h"
#include "settings/config_images.h"

namespace trx::keys {

macro::MacroUploadReport UploadKeyAssignments(CDeviceChannel& channel, const macro::MacroStore& store,
                                              IProgressReporter& progress) {
  DebugLine(kRoutineUploadSkipped);
  uint8_t info[sizeof(MouseConfigImage::device_info)];
  uint8_t block[kKeyBlockSize];
  int profile = 0;
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    const MouseConfigImage& image = Images().mouse;
    profile = image.ProfileIndex();
    std::memcpy(info, image.device_info, sizeof info);
    std::memcpy(block, image.key_blocks[profile], sizeof block);
  }
  return macro::UploadMacroLibrary(channel, store, info, profile, block, progress);
}

}  // namespace trx::keys
