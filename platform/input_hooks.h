#pragma once
// Input capture while a page listens (a macro recording, a single-key
// capture): the hook owner `CDeviceHook`, the event record the listeners
// receive and the messages it is delivered with.
//
// The program only sees input delivered to its own windows (an
// application-wide event filter of the Qt backend, IInputSource; it works on
// X11 and Wayland and needs no privileges). Each keyboard event becomes a
// KeyEventRecord in the form of the Windows low-level hook (virtual key,
// scan code, flags with the extended bit 0x01 and the release bit 0x80, time
// in ms) and is sent synchronously to the target with the keyboard message
// of the mode; every key except Num Lock, Caps Lock and Scroll Lock is then
// swallowed (it reaches no control). Mouse events are posted with the mouse
// message of the mode and always pass on.
//
//   mode  keyboard message           mouse message   listener
//   0x01  0x801 WM_HOOK_KEY_SINGLEKEY  -              keyboard key page capture
//   0x02  0x802 WM_HOOK_KEY_KBHITKEY   -              (debug line only)
//   0x04  0x803 WM_HOOK_KEY_MACRO      0x804          keyboard macro page
//   0x10  0x810 WM_HOOK_MOU_SINGLEKEY  -              mouse key page capture
//   0x20  0x811 WM_HOOK_MOU_HitKEY     -              (debug line only)
//   0x40  0x812 WM_HOOK_MOU_MACRO      0x813          mouse macro page
//
// Thread: the UI thread only (the source delivers on it, the target is the
// main window); no locks.

#include <cstdint>

namespace trx {

inline constexpr uint32_t kHookModeKeyboardSingleKey = 0x01;
inline constexpr uint32_t kHookModeKeyboardHitKey = 0x02;
inline constexpr uint32_t kHookModeKeyboardMacro = 0x04;
inline constexpr uint32_t kHookModeMouseSingleKey = 0x10;
inline constexpr uint32_t kHookModeMouseHitKey = 0x20;
inline constexpr uint32_t kHookModeMouseMacro = 0x40;

// wParam of the messages: the window message of the event.
inline constexpr uint32_t kWmKeyDown = 0x100;
inline constexpr uint32_t kWmKeyUp = 0x101;
inline constexpr uint32_t kWmSysKeyDown = 0x104;
inline constexpr uint32_t kWmSysKeyUp = 0x105;
inline constexpr uint32_t kWmMouseMove = 0x200;
inline constexpr uint32_t kWmLButtonDown = 0x201;
inline constexpr uint32_t kWmLButtonUp = 0x202;
inline constexpr uint32_t kWmRButtonDown = 0x204;
inline constexpr uint32_t kWmRButtonUp = 0x205;
inline constexpr uint32_t kWmMButtonDown = 0x207;
inline constexpr uint32_t kWmMButtonUp = 0x208;
inline constexpr uint32_t kWmMouseWheel = 0x20A;
inline constexpr uint32_t kWmXButtonDown = 0x20B;
inline constexpr uint32_t kWmXButtonUp = 0x20C;

// Flags of the record.
inline constexpr uint32_t kKeyFlagExtended = 0x01;
inline constexpr uint32_t kKeyFlagUp = 0x80;

// Virtual keys that pass on while hooked.
inline constexpr uint32_t kVkNumLock = 0x90;
inline constexpr uint32_t kVkCapsLock = 0x14;
inline constexpr uint32_t kVkScrollLock = 0x91;

struct KeyEventRecord {
  uint32_t vk_code = 0;
  uint32_t scan_code = 0;
  uint32_t flags = 0;
  uint32_t time = 0;        // ms
  uintptr_t extra_info = 0;
};

// The message number of a mode (0 when the mode has none).
uint32_t HookKeyboardMessage(uint32_t mode);
uint32_t HookMouseMessage(uint32_t mode);
// True for Num Lock, Caps Lock and Scroll Lock.
bool KeyPassesHook(uint32_t vk_code);

// Receives the forwarded events (the main window).
class IHookTarget {
 public:
  virtual ~IHookTarget() = default;
  // Sent: `record` is valid during the call only.
  virtual void SendHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& record) = 0;
  // Posted: only wParam travels.
  virtual void PostHookMouse(uint32_t message, uint32_t wparam) = 0;
};

// A page listening to the hooks (a macro page recording, a key page
// capturing a key), told by the main window on the UI thread.
class IHookListener {
 public:
  virtual ~IHookListener() = default;
  virtual void OnHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& record) = 0;
  virtual void OnHookMouse(uint32_t message, uint32_t wparam) = 0;
  // The hooks were removed (the program lost the focus, a page changed,
  // the capture ended): a recording in progress stops.
  virtual void OnHooksRemoved() {}
};

class CDeviceHook;

// Watches the key presses delivered to the program's windows (the lighting
// preview's reactive modes) without taking part in the capture: it sees
// each press before the hooks do, whether or not they swallow it, and can
// neither swallow nor change one. Auto-repeated presses are not reported.
class IKeyObserver {
 public:
  virtual ~IKeyObserver() = default;
  // `record` is valid during the call only (flags carry the extended bit).
  virtual void OnKeyPressed(const KeyEventRecord& record) = 0;
};

// Where events come from (the Qt backend's event filter; a fake in tests).
class IInputSource {
 public:
  virtual ~IInputSource() = default;
  // Starts delivering keyboard and/or mouse events to `hook`; false when
  // that is not possible.
  virtual bool Start(CDeviceHook& hook, bool keyboard, bool mouse) = 0;
  virtual void Stop() = 0;
  // Sets the key observer (null removes it); it stays through Start and
  // Stop. A source that can't observe ignores it.
  virtual void SetKeyObserver(IKeyObserver* /*observer*/) {}
};

// What installing the hooks came to.
enum class HookInstallResult {
  Installed,
  Unavailable,  // the source can't capture this input
  Inactive,     // the program is not active (the window refuses)
};

class CDeviceHook {
 public:
  explicit CDeviceHook(IInputSource& source) : source_(source) {}
  ~CDeviceHook() { RemoveHooks(); }
  CDeviceHook(const CDeviceHook&) = delete;
  CDeviceHook& operator=(const CDeviceHook&) = delete;

  // Removes the hooks, then installs the keyboard and / or mouse capture.
  // Installed (target and mode stored, counter cleared), or Unavailable
  // when the source can't capture (mode and target unchanged, nothing
  // installed).
  HookInstallResult InstallHooks(uint32_t mode, IHookTarget* target, bool keyboard, bool mouse);
  void RemoveHooks();

  bool KeyboardHooked() const { return keyboard_; }
  bool MouseHooked() const { return mouse_; }
  uint32_t Mode() const { return mode_; }

  // From the source, for each event while hooked. Returns true when the
  // key is swallowed.
  bool OnKeyboardEvent(uint32_t wparam, const KeyEventRecord& record);
  void OnMouseEvent(uint32_t wparam);

 private:
  IInputSource& source_;
  IHookTarget* target_ = nullptr;
  uint32_t mode_ = 0;
  uint32_t counter_ = 0;  // cleared on install; not otherwise used
  bool keyboard_ = false;
  bool mouse_ = false;
};

}  // namespace trx
