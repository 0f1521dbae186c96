#include "keys/key_upload.h"

#include <cstring>

#include "platform/debug_log.h"
#include "settings/config_images.h"

namespace trx::keys {

macro::MacroUploadReport UploadKeyAssignments(DeviceKind kind, CDeviceChannel& channel, const macro::MacroStore& store,
                                              IProgressReporter& progress, routine::RoutineUploadReport* routines) {
  if (kind == DeviceKind::Mouse && !progress.StopRequested()) {
    const routine::RoutineUploadReport sent = routine::UploadRoutines(channel, routine::RoutineStoreFor());
    if (routines != nullptr) *routines = sent;
  }
  static_assert(sizeof(MouseConfigImage::device_info) == sizeof(KeyboardImage::device_info));
  uint8_t info[sizeof(MouseConfigImage::device_info)];
  uint8_t block[kKeyBlockSize];
  int profile = 0;
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    if (kind == DeviceKind::Mouse) {
      const MouseConfigImage& image = Images().mouse;
      profile = image.ProfileIndex();
      if (profile < 0 || profile >= kOnboardProfileCount) {
        macro::MacroUploadReport refused;
        refused.result = macro::MacroResult::DeviceError;
        return refused;
      }
      std::memcpy(info, image.device_info, sizeof info);
      std::memcpy(block, image.key_blocks[profile], sizeof block);
    } else {
      const KeyboardImage& image = Images().keyboard;
      std::memcpy(info, image.device_info, sizeof info);
      std::memcpy(block, image.key_block, sizeof block);
    }
  }
  return macro::UploadMacroLibrary(channel, store, info, profile, block, progress);
}

}  // namespace trx::keys
