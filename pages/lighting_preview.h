#pragma once
// The lighting pages' requests to the preview animation: the narrow hook
// the effect engine installs when it starts. Until one is installed the
// requests do nothing (the pages work without a preview).
//
// UI thread: the pages call it on the UI thread; an implementation hands
// the request to its own threads.

#include "device/device_channel.h"

namespace trx::pages {

enum class PreviewStart {
  Beginning,   // position 0, buffers cleared
  LeftEnd,     // the sweep starts at the left end (direction byte 1)
  RightEnd,    // ... at the right end (direction byte 0)
  FirstGroup,  // the pad's mode 5: from its first LED group
};

class ILightingPreview {
 public:
  virtual ~ILightingPreview() = default;
  // Restart the device's preview animation from `start`.
  virtual void RestartPreview(DeviceKind kind, PreviewStart start) = 0;
  // Keyboard modes 4, 5, 11 and 15 reset part of the keyboard preview state.
  virtual void ResetKeyboardPreview(int mode) = 0;
};

// Installs the hook (null removes it). Install before the window shows.
void SetLightingPreview(ILightingPreview* preview);
ILightingPreview* LightingPreview();

}  // namespace trx::pages
