#pragma once
// Debug lines the presence threads write when they end.

namespace trx {

inline constexpr const char* kExitMouseDetection = "鼠标设备侦测线程设定退出";
inline constexpr const char* kExitKeyboardDetection = "键盘设备侦测线程设定退出";
inline constexpr const char* kExitPadDetection = "鼠标垫设备侦测线程设定退出";
inline constexpr const char* kExitMouseSync = "鼠标同步线程设定测试退出";
inline constexpr const char* kExitKeyboardSync = "键盘同步线程设定退出";

}  // namespace trx
