#include "app/input_hook_gate.h"

#include "app/app_messages.h"
#include "platform/debug_log.h"

namespace trx::app {
namespace {

class NoInputSource : public IInputSource {
 public:
  bool Start(CDeviceHook&, bool, bool) override { return false; }
  void Stop() override {}
};

const char* KeyboardHookMessageName(ui::UINT msg) {
  switch (msg) {
    case WM_HOOK_KEY_SINGLEKEY: return "WM_HOOK_KEY_SINGLEKEY";
    case WM_HOOK_KEY_KBHITKEY: return "WM_HOOK_KEY_KBHITKEY";
    case WM_HOOK_KEY_MACRO: return "WM_HOOK_KEY_MACRO";
    case WM_HOOK_MOU_SINGLEKEY: return "WM_HOOK_MOU_SINGLEKEY";
    case WM_HOOK_MOU_HitKEY: return "WM_HOOK_MOU_HitKEY";
    case WM_HOOK_MOU_MACRO: return "WM_HOOK_MOU_MACRO";
    default: return nullptr;
  }
}

}  // namespace

CInputHookGate::CInputHookGate(IInputSource* source) : source_(source) {
  if (source_ == nullptr) {
    no_input_ = std::make_unique<NoInputSource>();
    source_ = no_input_.get();
  }
  hook_ = std::make_unique<CDeviceHook>(*source_);
}

CInputHookGate::~CInputHookGate() = default;

HookInstallResult CInputHookGate::Install(uint32_t mode, IHookTarget* target, bool keyboard, bool mouse) {
  // Input goes to another window: nothing of it would be seen, and the
  // hooks would stay until the next deactivation removed them.
  if (inactive_) {
    DebugLine("input hooks refused: the program is not active");
    return HookInstallResult::Inactive;
  }
  return hook_->InstallHooks(mode, target, keyboard, mouse);
}

void CInputHookGate::Remove() {
  ++removals_;
  hook_->RemoveHooks();
  if (listener_ != nullptr) listener_->OnHooksRemoved();
}

void CInputHookGate::OnActivate(bool inactive) {
  inactive_ = inactive;
  if (inactive_) Remove();
}

bool CInputHookGate::Dispatch(ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam) {
  if (const char* name = KeyboardHookMessageName(msg)) {
    DebugLine(name);
    const auto* record = reinterpret_cast<const KeyEventRecord*>(lparam);
    if (listener_ != nullptr && record != nullptr) listener_->OnHookKeyboard(msg, static_cast<uint32_t>(wparam), *record);
    return true;
  }
  if (msg == WM_HOOK_KEY_MOUSE_MACRO || msg == WM_HOOK_MOU_MOUSE_MACRO) {
    if (listener_ != nullptr) listener_->OnHookMouse(msg, static_cast<uint32_t>(wparam));
    return true;
  }
  return false;
}

}  // namespace trx::app
