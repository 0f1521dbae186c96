#pragma once
// Controls of the main window that the presence threads show, hide or
// select, per device kind.

#include "device/device_channel.h"

namespace trx {

struct PresenceControls {
  const char* tab;          // the device's tab option
  const char* same_mode;    // "follow the synchronised lighting" option
};

inline constexpr PresenceControls kMouseControls{"ms_tab", "ms_deng_same_mode"};
inline constexpr PresenceControls kKeyboardControls{"kb_tab", "kb_deng_same_mode"};
inline constexpr PresenceControls kPadControls{"mp_tab", "mp_deng_same_mode"};
// The mouse's page panel, shown at the end of a mouse connect.
inline constexpr const char* kMouseTabPanel = "ms_tab_panel";

inline const PresenceControls& ControlsOf(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return kKeyboardControls;
    case DeviceKind::MousePad: return kPadControls;
    case DeviceKind::Mouse: break;
  }
  return kMouseControls;
}

// Debug lines the threads write when they end.
inline constexpr const char* kExitMouseDetection = "鼠标设备侦测线程设定退出";
inline constexpr const char* kExitKeyboardDetection = "键盘设备侦测线程设定退出";
inline constexpr const char* kExitPadDetection = "鼠标垫设备侦测线程设定退出";
inline constexpr const char* kExitMouseSync = "鼠标同步线程设定测试退出";
inline constexpr const char* kExitKeyboardSync = "键盘同步线程设定退出";

}  // namespace trx
