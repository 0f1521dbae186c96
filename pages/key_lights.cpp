#include "pages/key_lights.h"

#include <string>

namespace trx::pages {

namespace {
template <size_t N>
void AddLights(ControlBindings& out, const char* prefix, std::array<Handle<>, N>& lights) {
  for (size_t i = 0; i < N; ++i) out.push_back({prefix + std::to_string(i), &lights[i]});
}
template <size_t N>
void TintOn(const std::array<Handle<>, N>& lights) {
  for (const Handle<>& light : lights) {
    if (!light) continue;
    light.get()->SetIsChangerColor(true);
    light.get()->SetChangerAlpha(0);
  }
}
}  // namespace

ControlBindings CKeyLights::Bindings() {
  ControlBindings b;
  AddLights(b, names::kMsDkeyPrefix, mouse_);
  AddLights(b, names::kMpDkeyPrefix, pad_);
  AddLights(b, names::kKbDkeyPrefix, keyboard_);
  return b;
}

void CKeyLights::StartTint() const {
  TintOn(mouse_);
  TintOn(pad_);
  TintOn(keyboard_);
}

void CKeyLights::Bind(const Controls& controls) {
  for (const ControlBinding& b : Bindings()) b.handle->Take(controls.Find(b.name));
  StartTint();
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
    case DeviceKind::Keyboard: return keyboard_[i].get();
    case DeviceKind::MousePad: return pad_[i].get();
    case DeviceKind::Mouse: break;
  }
  return mouse_[i].get();
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
