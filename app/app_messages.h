#pragma once
// Window messages, timers and debug lines of the main window, defined once.
// The presence messages (0x0901 ... 0x0C05) live in
// presence/presence_messages.h beside their senders.

#include "platform/text_ids.h"
#include "ui/window/win_types.h"

namespace trx::app {

// The registered instance message's name and the single-instance lock name.
inline constexpr const char* kInstanceMessageName = "KORVANTE_001";
inline constexpr const char* kInstanceLockName = "TARVOXDRVER";

// Messages from the input hooks (their handlers arrive with the hooks).
inline constexpr trx::ui::UINT WM_HOOK_KEY_SINGLEKEY = 0x0801;
inline constexpr trx::ui::UINT WM_HOOK_KEY_KBHITKEY = 0x0802;
inline constexpr trx::ui::UINT WM_HOOK_KEY_MACRO = 0x0803;
inline constexpr trx::ui::UINT WM_HOOK_KEY_MOUSE_MACRO = 0x0804;
inline constexpr trx::ui::UINT WM_HOOK_MOU_SINGLEKEY = 0x0810;
inline constexpr trx::ui::UINT WM_HOOK_MOU_HitKEY = 0x0811;
inline constexpr trx::ui::UINT WM_HOOK_MOU_MACRO = 0x0812;
inline constexpr trx::ui::UINT WM_HOOK_MOU_MOUSE_MACRO = 0x0813;
// Tint of mouse-pad key-light control number wParam: colour / alpha in lParam.
inline constexpr trx::ui::UINT WM_MP_KEY_COLOR = 0x0A03;
inline constexpr trx::ui::UINT WM_MP_KEY_ALPHA = 0x0A04;
// A click handler finished a device write: show the progress for a second.
inline constexpr trx::ui::UINT WM_SETTING_DONE = 0x0C01;
// Private: a worker asks the UI thread to run a queued call (presence host).
inline constexpr trx::ui::UINT WM_APP_RUN_CALL = 0x8001;
// The session-bus API changed a device's profile files; wParam: the DeviceKind.
inline constexpr trx::ui::UINT WM_BUS_PROFILES_CHANGED = 0x8002;

// Timers of the main window.
inline constexpr trx::ui::UINT_PTR kTimerSettingDone = 1;   // 1000 ms, hides "setting_progress"
inline constexpr trx::ui::UINT_PTR kTimerSendSettings = 2;  // 100 ms, repeating while a send waits
inline constexpr trx::ui::UINT_PTR kTimerRepaint = 7;       // one repaint
inline constexpr trx::ui::UINT_PTR kTimerAccessCheck = 8;   // 2000 ms after a device folder change: devices present but not accessible
inline constexpr trx::ui::UINT kSettingDonePeriodMs = 1000;
inline constexpr trx::ui::UINT kSendSettingsPeriodMs = 100;
inline constexpr trx::ui::UINT kRepaintAfterTrayShowMs = 10;
inline constexpr trx::ui::UINT kAccessCheckPeriodMs = 2000;

// The tray icon's resource number and tooltip; the window's title.
inline constexpr trx::ui::UINT kTrayIconId = 107;
inline constexpr const char* kProgramTitle = "TRX770";
inline constexpr int kMainWidth = 800;
// The height of a separator the program adds to the tray menu.
inline constexpr int kMenuSeparatorHeight = 9;
inline constexpr int kMainHeight = 572;
// The colour the three lighting palettes show at start.
inline constexpr unsigned kInitialPaletteColour = 0xFF0199CB;

// Language text ids the main window shows.
inline constexpr const char* kTextNoDevice = text::kNoDevice;
// Asked before quitting while a macro holds unsaved edits.
inline constexpr const char* kTextDiscardMacroEdit = "message_macro_unsaved";
// Asked the same way when the fire-key routines hold edits not on the mouse.
inline constexpr const char* kTextDiscardRoutineEdit = "routine_unsaved_quit_question";
// Asked before quitting while button or key functions are not on the device.
inline constexpr const char* kTextDiscardAssignments = "key_unsaved_quit_question";
inline constexpr const char* kTextAllDevicesGone = text::kDeviceGone;
// The OpenRGB SDK server's port is taken ("%d": the port).
inline constexpr const char* kTextOpenRgbPortInUse = "message_openrgb_port_in_use";

// The messages that ask (a confirm and a cancel button); every other
// message only informs and has one OK button.
inline constexpr const char* kQuestionTextIds[] = {text::kMacroAssigned, text::kConfirmMacroDelete,
                                                   text::kConfirmProfileDelete, kTextDiscardRoutineEdit,
                                                   kTextDiscardAssignments};

// Debug lines.
inline constexpr const char* kDebugInstanceId = "软件标示：%u";
inline constexpr const char* kDebugInstanceMessage = "软件标示 %u，%xd%xd";
inline constexpr const char* kDebugInitWindow = "InitWindow";
inline constexpr const char* kDebugRepaint = "1234567890";
inline constexpr const char* kDebugMouseSend = "鼠标";
inline constexpr const char* kDebugShutdown = "退出测试";
inline constexpr const char* kDebugAllEnded = "所有对象处于激发状态\n";
inline constexpr const char* kDebugAbandoned = "所有对象处于激发状态，但其中有未释放的Mutex 对象\n";
inline constexpr const char* kDebugTimedOut = "所有对象处于非激发状态，超时\n";
inline constexpr const char* kDebugWaitError = "错误\n";
inline constexpr const char* kDebugRegistryReadFailed = "读注册表失败了";
inline constexpr const char* kDebugRegistryWritten = "写成功！";

}  // namespace trx::app
