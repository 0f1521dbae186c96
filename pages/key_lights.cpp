#include "pages/key_lights.h"

#include <string>

namespace trx::pages {

namespace {
template <size_t N>
void FindLights(const Controls& controls, const char* prefix, std::array<ui::CControlUI*, N>& out) {
  for (size_t i = 0; i < N; ++i) {
    out[i] = controls.Find(prefix + std::to_string(i));
    if (out[i] == nullptr) continue;
    out[i]->SetIsChangerColor(true);
    out[i]->SetChangerAlpha(0);
  }
}
}  // namespace

void CKeyLights::Bind(const Controls& controls) {
  FindLights(controls, names::kMsDkeyPrefix, mouse_);
  FindLights(controls, names::kMpDkeyPrefix, pad_);
  FindLights(controls, names::kKbDkeyPrefix, keyboard_);
}

int CKeyLights::Count(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return names::kKbDkeyCount;
    case DeviceKind::MousePad: return names::kMpDkeyCount;
    case DeviceKind::Mouse: break;
  }
  return names::kMsDkeyCount;
}

ui::CControlUI* CKeyLights::Light(DeviceKind kind, int index) const {
  if (index < 0 || index >= Count(kind)) return nullptr;
  const auto i = static_cast<size_t>(index);
  switch (kind) {
    case DeviceKind::Keyboard: return keyboard_[i];
    case DeviceKind::MousePad: return pad_[i];
    case DeviceKind::Mouse: break;
  }
  return mouse_[i];
}

bool CKeyLights::SetColour(DeviceKind kind, unsigned long long index, ui::UiColor colour) const {
  if (index >= static_cast<unsigned long long>(Count(kind))) return false;
  ui::CControlUI* light = Light(kind, static_cast<int>(index));
  if (light == nullptr) return false;
  light->SetChangerColor(colour);
  return true;
}

bool CKeyLights::SetAlpha(DeviceKind kind, unsigned long long index, int alpha) const {
  if (index >= static_cast<unsigned long long>(Count(kind))) return false;
  ui::CControlUI* light = Light(kind, static_cast<int>(index));
  if (light == nullptr) return false;
  light->SetChangerAlpha(alpha);
  return true;
}

}  // namespace trx::pages
