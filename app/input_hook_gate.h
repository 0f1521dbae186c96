#pragma once
// When the pages may capture input, and where the captured events go.
//
// The hooks are installed only while the program is active: its last
// WM_ACTIVATE was not WA_INACTIVE, or the user pressed the mouse in the
// window since (where no window manager gave the activation back). A
// deactivation removes them. Removing also tells the listener, so a macro
// recording stops. The hook messages (WM_HOOK_*) the window receives are
// handed to the listener set last.
//
// UI thread, all of it.

#include <cstdint>
#include <memory>

#include "platform/input_hooks.h"
#include "ui/window/win_api.h"

namespace trx::app {

class CInputHookGate {
 public:
  // `source`: where input is captured; null: nowhere (every installation
  // fails, as a refused hook would).
  explicit CInputHookGate(IInputSource* source);
  ~CInputHookGate();
  CInputHookGate(const CInputHookGate&) = delete;
  CInputHookGate& operator=(const CInputHookGate&) = delete;

  IInputSource& Source() { return *source_; }
  CDeviceHook& Hook() { return *hook_; }

  // Installs the hooks for `mode` with their messages to `target`:
  // Installed, Unavailable (no capture) or Inactive (the program is not
  // active).
  HookInstallResult Install(uint32_t mode, IHookTarget* target, bool keyboard, bool mouse);
  // Removes the hooks and tells the listener; counted (Removals()).
  void Remove();
  int Removals() const { return removals_; }
  void SetListener(IHookListener* listener) { listener_ = listener; }

  // WM_ACTIVATE (deactivation removes the hooks) and WM_LBUTTONDOWN.
  void OnActivate(bool inactive);
  void OnPress() { inactive_ = false; }

  // A hook message to the listener; false for any other message.
  // Keyboard messages carry the event record in `lparam` (sent), mouse
  // messages only `wparam` (posted).
  bool Dispatch(ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam);

 private:
  std::unique_ptr<IInputSource> no_input_;  // when no source was given
  IInputSource* source_;
  std::unique_ptr<CDeviceHook> hook_;
  IHookListener* listener_ = nullptr;
  int removals_ = 0;
  bool inactive_ = false;  // the last WM_ACTIVATE was WA_INACTIVE
};

}  // namespace trx::app
