#pragma once
// What a page may use, as narrow interfaces: the controls, the dialogs,
// the devices with their settings-pending flags, and the window. The main
// window implements the interfaces; page tests use small fakes. The
// configuration image's records are reached through `image`
// (pages/image_access.h: the lock held for one call, never across a dialog
// or a device exchange) and the profile store through
// settings/settings_host.h's ProfileSaver().
//
// UI thread only, unless a method says otherwise.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "device/device_channel.h"
#include "device/device_queue.h"
#include "pages/controls.h"
#include "pages/image_access.h"
#include "platform/input_hooks.h"
#include "platform/progress_reporter.h"
#include "platform/tick_clock.h"
#include "routine/routine_edits.h"
#include "ui/core/notify.h"
#include "ui/core/ui_types.h"

namespace trx::pages {

// The answer of a message box the user confirmed; any other is a cancel.
inline constexpr int kDialogConfirmed = 1;

// The modal dialogs. Each runs on the UI thread and returns when closed.
class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The message box with a language text id; kDialogConfirmed on confirm, else 0.
  virtual int ShowMessage(std::string_view text_id) = 0;
  // The same box for a text that is a format taking one number ("%d" in
  // "message_text_17" and "message_text_16"): the number fills it.
  virtual int ShowCountMessage(std::string_view text_id, uint64_t number) = 0;
  // The same box for a text already formatted in the current language.
  virtual int ShowText(std::string_view text) = 0;
  // The box for a language text with a "{name}" slot (a profile's name, a
  // file's path) filled by `name`; kDialogConfirmed on confirm, else 0.
  virtual int ShowNamedMessage(std::string_view text_id, std::string_view name) {
    return ShowMessage(std::string(text_id) + " " + std::string(name));
  }
  // The palette dialog on `initial`, placed by the cursor position `at`.
  // True (and *chosen set) when the user confirmed a colour.
  virtual bool PickColour(ui::UiColor initial, ui::UiPoint at, ui::UiColor* chosen) = 0;
};

// The three device channels and their settings-pending flags.
class IDevices {
 public:
  virtual ~IDevices() = default;
  // Lives for the whole run. Any thread.
  virtual CDeviceChannel& Channel(DeviceKind kind) = 0;
  // The current settings record of `kind` goes out with the next send
  // (timer 2). Any thread.
  virtual void MarkSettingsPending(DeviceKind kind) = 0;
  // Every conversation with a device: the operation goes to the device's
  // own queue (device/device_queue.h), runs there with the channel held,
  // and its `done` comes back on the UI thread. An operation with
  // `progress` shows the ring. False when refused (shutdown). UI thread.
  virtual bool Submit(DeviceKind kind, DeviceOperation operation) = 0;
  // Reads everything the device holds again, on its queue; the pages show
  // it once read. UI thread.
  virtual void ReadAgain(DeviceKind kind) = 0;
  // Whether the mouse's routine files hold edits it has not got. Lives as
  // long as the devices. Any thread.
  virtual routine::RoutineEdits& RoutineEdits() = 0;
};

// The window's input capture (a macro recording). RemoveInputHooks is the
// window's (IWindow): it tells the listener OnHooksRemoved.
class IInputHooks {
 public:
  virtual ~IInputHooks() = default;
  // Installs the hooks of `mode` (platform/input_hooks.h): Installed, or
  // why not.
  virtual HookInstallResult InstallInputHooks(uint32_t mode, bool keyboard, bool mouse) = 0;
  // Where the captured events go (null: nowhere).
  virtual void SetHookListener(IHookListener* listener) = 0;
};

// The window the pages live in.
class IWindow {
 public:
  virtual ~IWindow() = default;
  virtual void DestroyWindow() = 0;
  // WM_SYSCOMMAND with SC_MAXIMIZE, SC_RESTORE or SC_MINIMIZE.
  virtual void SysCommand(unsigned command) = 0;
  // The skin chooser, dropped under `anchor`.
  virtual void OpenSkinChooser(ui::CControlUI* anchor) = 0;
  // "windowinit": the window's first paint.
  virtual void WindowInit() = 0;
  // Ends a key capture or a macro recording in progress.
  virtual void RemoveInputHooks() = 0;
  // The input capture; null where the window has none.
  virtual IInputHooks* InputHooks() { return nullptr; }
  // Hands a notification to the interface library's own handling.
  virtual void LibraryNotify(ui::TNotifyUI& msg) = 0;
  // A timer the page owns: `on_tick` runs on the UI thread every
  // `period_ms` until KillTimer(id) (a later StartTimer with the same id
  // replaces it). Ids are the page's own (pages/*.h), distinct from the
  // window's. UI thread.
  virtual void StartTimer(int id, int period_ms, std::function<void()> on_tick) = 0;
  virtual void KillTimer(int id) = 0;
  // The screen position of the pointer (the palette opens beside it).
  virtual ui::UiPoint CursorPos() = 0;
  // Installs the keyboard hook in `mode`; its events reach `listener` until
  // the hooks are removed; Installed, or why not.
  virtual HookInstallResult InstallKeyCapture(uint32_t mode, IHookListener* listener) = 0;
  // The millisecond clock pages time things with (a recording's gaps);
  // the monotonic clock unless a test gives its own. Any thread.
  virtual const ITickClock& Clock() {
    static const SteadyTickClock steady;
    return steady;
  }
};

struct PageContext {
  Controls& controls;
  IDialogs& dialogs;
  IDevices& devices;
  IWindow& window;
  // The configuration image's records.
  ImageAccess image{};
};

}  // namespace trx::pages
