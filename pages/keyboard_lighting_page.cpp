#include "pages/keyboard_lighting_page.h"

#include <mutex>

#include "pages/control_names.h"
#include "pages/lighting_preview.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"
#include "ui/core/combo.h"
#include "ui/core/option.h"
#include "ui/core/progress.h"

namespace trx::pages {

namespace {
constexpr ui::UiColor kSelectionBorder = 0xFF00A2FF;
constexpr int kSelectionBorderSize = 2;
constexpr int kKeyTintAlpha = 200;
}  // namespace

CKeyboardLightingPage::CKeyboardLightingPage(PageContext& context, LightingGroup& group, const CKeyLights& lights)
    : CLightingPage(context, DeviceKind::Keyboard, group), lights_(lights) {}

std::span<const ModeLayout> CKeyboardLightingPage::Layouts(int) const { return KeyboardModeLayouts(); }

void CKeyboardLightingPage::Bind(CRouter& router) {
  // First of the click rows: a key light picked ends the click handler.
  router.Add(Table::Click, {names::kKbDkeyPrefix, Match::Prefix,
                            [this](ui::TNotifyUI&, const NameSplit& split) { KeyPicked(split.index); }});
  CLightingPage::Bind(router);
  router.Add(Table::Click, {kKbCustomSelectAll, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { SelectAll(true); }});
  router.Add(Table::Click, {kKbCustomSelectNone, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { SelectAll(false); }});
  router.Add(Table::ItemSelect, {"kb_deng_onecolor_combo_modeSelect", Match::Exact, [this](ui::TNotifyUI& msg, const NameSplit&) {
                                   auto* combo = dynamic_cast<ui::CComboUI*>(msg.pSender);
                                   if (combo == nullptr || combo->GetCurSel() < 0) return;
                                   const int item = combo->GetCurSel();
                                   UpdateLighting(DeviceKind::Keyboard, [item](LightingBytes& l) { l.mode = static_cast<uint8_t>(item); });
                                   Stored();
                                 }});
  for (bool bright : {true, false})
    router.Add(Table::SelectAfterGuard, {bright ? kKbAllBrightCheck : kKbAllKillCheck, Match::Exact,
                                         [this, bright](ui::TNotifyUI& msg, const NameSplit&) {
                                           auto* check = dynamic_cast<ui::CCheckBoxUI*>(msg.pSender);
                                           if (check != nullptr && check->GetCheck()) AllLights(bright);
                                         }});
}

void CKeyboardLightingPage::OnDeviceConnected(DeviceKind kind, const ConnectResult& result) {
  if (kind != DeviceKind::Keyboard) return;
  uint8_t current[kCurrentLightingSize];
  uint8_t slot0[kLightingRecordSize];
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    std::copy_n(Images().keyboard.current_record, kCurrentLightingSize, current);
    std::copy_n(Images().keyboard.lighting_records[0], kLightingRecordSize, slot0);
  }
  // The file is read without the image mutex held; the load copies the
  // whole light record in, so the device's lighting is put back after it.
  if (LoadProfile(DeviceKind::Keyboard, ProfileFamily::Light, result.light_profile) != 0)
    DebugLine("keyboard: light profile not loaded, per-key colours unchanged");
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  std::copy_n(current, kCurrentLightingSize, Images().keyboard.current_record);
  std::copy_n(slot0, kLightingRecordSize, Images().keyboard.lighting_records[0]);
}

bool CKeyboardLightingPage::InCustomMode() const { return ReadLighting(DeviceKind::Keyboard).mode == kKeyboardCustomMode; }

void CKeyboardLightingPage::ShowKeySelection(int index) {
  ui::CControlUI* key = lights_.Light(DeviceKind::Keyboard, index);
  if (key == nullptr) return;
  key->SetBorderColor(kSelectionBorder);
  key->SetBorderSize(selected_[static_cast<size_t>(index)] ? kSelectionBorderSize : 0);
}

void CKeyboardLightingPage::KeyPicked(int index) {
  if (index < 0 || index >= kKeyboardKeyLights || !InCustomMode()) return;
  selected_[static_cast<size_t>(index)] = !selected_[static_cast<size_t>(index)];
  ShowKeySelection(index);
}

void CKeyboardLightingPage::SelectAll(bool on) {
  for (int i = 0; i < kKeyboardKeyLights; ++i) {
    // Keys the layout variant hides are never selected.
    ui::CControlUI* key = lights_.Light(DeviceKind::Keyboard, i);
    selected_[static_cast<size_t>(i)] = on && key != nullptr && key->IsVisible();
    ShowKeySelection(i);
  }
}

void CKeyboardLightingPage::ShowKeyColours(bool custom) {
  std::array<uint8_t, 3 * kKeyboardKeyLights> colours{};
  if (custom) {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    std::copy_n(Images().keyboard.key_colours, colours.size(), colours.begin());
  }
  for (int i = 0; i < kKeyboardKeyLights; ++i) {
    const uint8_t* rgb = colours.data() + 3 * i;
    lights_.SetColour(DeviceKind::Keyboard, static_cast<unsigned>(i),
                      0xFF000000u | uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2]);
    lights_.SetAlpha(DeviceKind::Keyboard, static_cast<unsigned>(i), custom ? kKeyTintAlpha : 0);
    if (!custom) selected_[static_cast<size_t>(i)] = false;
    ShowKeySelection(i);
  }
}

void CKeyboardLightingPage::PaintKeys(const std::array<bool, kKeyboardKeyLights>& which, ui::UiColor colour) {
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    uint8_t* block = Images().keyboard.key_colours;
    for (size_t i = 0; i < which.size(); ++i) {
      if (!which[i]) continue;
      block[3 * i] = static_cast<uint8_t>(colour >> 16);
      block[3 * i + 1] = static_cast<uint8_t>(colour >> 8);
      block[3 * i + 2] = static_cast<uint8_t>(colour);
    }
  }
  ShowKeyColours(true);
  Save();
}

void CKeyboardLightingPage::ApplyLightColour(ui::UiColor colour, bool store) {
  if (!InCustomMode()) {
    CLightingPage::ApplyLightColour(colour, store);
    return;
  }
  // Custom-colour mode: the colour controls hold the custom colour.
  custom_colour_ = colour | 0xFF000000u;
  ShowColourControls(custom_colour_);
  if (ui::CControlUI* button = controls().Find(kKbCustomColourBtn)) button->SetBkColor(custom_colour_);
  if (store) PaintKeys(selected_, custom_colour_);
}

void CKeyboardLightingPage::AllLights(bool bright) {
  if (auto* other = controls().As<ui::CCheckBoxUI>(bright ? kKbAllKillCheck : kKbAllBrightCheck)) other->SetCheck(false, false);
  if (InCustomMode()) {
    std::array<bool, kKeyboardKeyLights> all{};
    all.fill(true);
    PaintKeys(all, bright ? custom_colour_ : 0xFF000000u);
    return;
  }
  const uint8_t level = bright ? kLightSliderMax : 0;
  UpdateLighting(DeviceKind::Keyboard, [level](LightingBytes& l) { l.brightness = level; });
  if (auto* slider = controls().As<ui::CSliderUI>("kb_deng_light_slider")) slider->SetValue(level);
  Stored();
}

void CKeyboardLightingPage::ShowModeControls(const ModeLayout* layout) {
  const Controls& c = controls();
  const bool custom = layout != nullptr && layout->custom_colours;
  for (const char* name : {"kb_deng_fx_layout", "kb_deng_7colorselect_layout", "kb_deng_color_display_layout"})
    c.Show(name, !custom);
  for (const char* name : {"kb_deng_custom_tool_layout", "kb_deng_custom_select_layout", "kb_deng_custom_color_layout"})
    c.Show(name, custom);
  if (layout != nullptr) {
    ApplyLayout(*layout);
    if (layout->fx_left != nullptr)
      if (ui::CControlUI* label = c.Find("kb_Deng_label_FXL")) label->SetAttribute("text", std::string("%[") + layout->fx_left + "]");
    if (layout->fx_right != nullptr)
      if (ui::CControlUI* label = c.Find("kb_Deng_label_FXR")) label->SetAttribute("text", std::string("%[") + layout->fx_right + "]");
  }
  ShowKeyColours(custom);
}

void CKeyboardLightingPage::ModeSelected(int, int item) {
  if (item < 0) return;
  const LightingBytes b = UpdateLighting(DeviceKind::Keyboard, [item](LightingBytes& l) { l.mode = static_cast<uint8_t>(item); });
  const ModeLayout* layout = LayoutOf(KeyboardModeLayouts(), item);
  ShowModeControls(layout);
  ShowColourControls(layout != nullptr && layout->custom_colours ? custom_colour_ : b.Argb());
  Stored();
  if (ILightingPreview* preview = LightingPreview()) {
    preview->RestartPreview(DeviceKind::Keyboard, PreviewStart::Beginning);
    if (layout != nullptr && layout->reset_keyboard_preview) preview->ResetKeyboardPreview(item);
  }
}

void CKeyboardLightingPage::ShowLighting(const LightingBytes& b) {
  CLightingPage::ShowLighting(b);
  const ModeLayout* layout = LayoutOf(KeyboardModeLayouts(), b.mode);
  ShowModeControls(layout);
  if (layout != nullptr && layout->custom_colours) ShowColourControls(custom_colour_);
}

}  // namespace trx::pages
