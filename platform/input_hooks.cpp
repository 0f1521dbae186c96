#include "platform/input_hooks.h"

namespace trx {

uint32_t HookKeyboardMessage(uint32_t mode) {
  switch (mode) {
    case kHookModeKeyboardSingleKey: return 0x801;
    case kHookModeKeyboardHitKey: return 0x802;
    case kHookModeKeyboardMacro: return 0x803;
    case kHookModeMouseSingleKey: return 0x810;
    case kHookModeMouseHitKey: return 0x811;
    case kHookModeMouseMacro: return 0x812;
    default: return 0;
  }
}

uint32_t HookMouseMessage(uint32_t mode) {
  switch (mode) {
    case kHookModeKeyboardMacro: return 0x804;
    case kHookModeMouseMacro: return 0x813;
    default: return 0;
  }
}

bool KeyPassesHook(uint32_t vk) { return vk == kVkNumLock || vk == kVkCapsLock || vk == kVkScrollLock; }

HookInstallResult CDeviceHook::InstallHooks(uint32_t mode, IHookTarget* target, bool keyboard, bool mouse) {
  RemoveHooks();
  if ((keyboard || mouse) && !source_.Start(*this, keyboard, mouse)) return HookInstallResult::Unavailable;
  keyboard_ = keyboard;
  mouse_ = mouse;
  target_ = target;
  counter_ = 0;
  mode_ = mode;
  return HookInstallResult::Installed;
}

void CDeviceHook::RemoveHooks() {
  if (keyboard_ || mouse_) source_.Stop();
  keyboard_ = mouse_ = false;
}

bool CDeviceHook::OnKeyboardEvent(uint32_t wparam, const KeyEventRecord& record) {
  if (!keyboard_) return false;
  const uint32_t message = HookKeyboardMessage(mode_);
  if (message != 0 && target_ != nullptr) target_->SendHookKeyboard(message, wparam, record);
  return !KeyPassesHook(record.vk_code);
}

void CDeviceHook::OnMouseEvent(uint32_t wparam) {
  if (!mouse_) return;
  const uint32_t message = HookMouseMessage(mode_);
  if (message != 0 && target_ != nullptr) target_->PostHookMouse(message, wparam);
}

}  // namespace trx
