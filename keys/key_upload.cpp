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
  // The onboard profile whose block is sent; -1: the image names none.
  const int profile = WithImage([&](ConfigImages& images) {
    if (kind == DeviceKind::Mouse) {
      const MouseConfigImage& image = images.mouse;
      const int k = image.ProfileIndex();
      if (k < 0 || k >= kOnboardProfileCount) return -1;
      std::memcpy(info, image.device_info, sizeof info);
      std::memcpy(block, image.key_blocks[k], sizeof block);
      return k;
    }
    const KeyboardImage& image = images.keyboard;
    std::memcpy(info, image.device_info, sizeof info);
    std::memcpy(block, image.key_block, sizeof block);
    return 0;
  });
  if (profile < 0) {
    macro::MacroUploadReport refused;
    refused.result = macro::MacroResult::DeviceError;
    return refused;
  }
  return macro::UploadMacroLibrary(channel, store, info, profile, block, progress);
}

}  // namespace trx::keys
