#include "pages/profile_bar.h"

#include "pages/control_names.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "ui/core/combo.h"
#include "ui/core/list.h"

namespace trx::pages {

const char* CProfileBar::ComboOf(DeviceKind kind, ProfileFamily family) {
  switch (kind) {
    case DeviceKind::Mouse:
      if (family == ProfileFamily::Device) return names::kMsDeviceProfileCombo;
      if (family == ProfileFamily::Light) return names::kMsDengProfileCombo;
      return names::kMsKeyProfileCombo;
    case DeviceKind::Keyboard:
      if (family == ProfileFamily::Light) return names::kKbDengProfileCombo;
      if (family == ProfileFamily::Key) return names::kKbKeyProfileCombo;
      return nullptr;
    case DeviceKind::MousePad:
      return family == ProfileFamily::Light ? names::kMpDengProfileCombo : nullptr;
  }
  return nullptr;
}

void CProfileBar::Bind(CRouter& router) {
  for (const names::EditToggle& toggle : names::kSpreadToggles) {
    const char* panel = toggle.edit;
    router.Add(Table::Click, {toggle.button, Match::Exact, [this, panel](ui::TNotifyUI&, const NameSplit&) {
                                controls().Toggle(panel);
                              }});
  }
  for (const names::EditToggle& toggle : names::kRenameEditToggles) {
    const char* edit = toggle.edit;
    router.Add(Table::Click, {toggle.button, Match::Exact, [this, edit](ui::TNotifyUI&, const NameSplit&) {
                                controls().Toggle(edit);
                              }});
  }
}

void CProfileBar::OnDeviceConnected(DeviceKind kind, const ConnectResult& result) {
  switch (kind) {
    case DeviceKind::Mouse:
      controls().SelectComboItem(names::kMsDeviceProfileCombo, result.device_profile);
      break;
    case DeviceKind::Keyboard:
      controls().SelectComboItem(names::kKbDengProfileCombo, result.light_profile);
      controls().SelectComboItem(names::kKbKeyProfileCombo, result.key_profile);
      break;
    case DeviceKind::MousePad:
      controls().SelectComboItem(names::kMpDengProfileCombo, result.light_profile);
      break;
  }
}

ui::CComboUI* CProfileBar::Combo(DeviceKind kind, ProfileFamily family) const {
  ui::CComboUI*& cached = combos_[static_cast<int>(kind)][static_cast<int>(family)];
  if (cached == nullptr) {
    const char* name = ComboOf(kind, family);
    if (name != nullptr) cached = controls().As<ui::CComboUI>(name);
  }
  return cached;
}

void CProfileBar::AddItem(DeviceKind kind, ProfileFamily family, std::string_view text, int height_px) {
  ui::CComboUI* combo = Combo(kind, family);
  if (combo == nullptr) {
    DebugLineF("profile list of the %s missing", DeviceKindName(kind));
    return;
  }
  auto* item = new ui::CListLabelElementUI();
  item->SetText(text);
  item->SetFixedHeight(height_px);
  combo->Add(item);
}

int CProfileBar::ItemCount(DeviceKind kind, ProfileFamily family) const {
  ui::CComboUI* combo = Combo(kind, family);
  return combo != nullptr ? combo->GetCount() : 0;
}

}  // namespace trx::pages
