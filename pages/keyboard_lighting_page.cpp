#include "pages/keyboard_lighting_page.h"

#include <algorithm>

#include "pages/control_names.h"
#include "pages/keyboard_layouts.h"
#include "pages/lighting_preview.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "profile/profile_store.h"
#include "settings/key_colour_sets.h"
#include "ui/core/combo.h"
#include "ui/core/option.h"
#include "ui/core/paint_manager.h"
#include "ui/core/progress.h"

namespace trx::pages {

namespace {
constexpr ui::UiColor kSelectionBorder = 0xFF00A2FF;
constexpr int kSelectionBorderSize = 2;
constexpr int kKeyTintAlpha = 200;
}  // namespace

CKeyboardLightingPage::CKeyboardLightingPage(PageContext& context, LightingGroup& group, const CKeyLights& lights)
    : CLightingPage(context, DeviceKind::Keyboard, group), lights_(lights) {}

namespace {
constexpr const char* kOneColourList = "kb_deng_onecolor_combo_modeSelect";
constexpr const char* kEffectRows[] = {"kb_deng_fx_layout", "kb_deng_7colorselect_layout", "kb_deng_color_display_layout"};
constexpr const char* kCustomRows[] = {"kb_deng_custom_tool_layout", "kb_deng_custom_select_layout", "kb_deng_custom_color_layout"};
}  // namespace

ControlBindings CKeyboardLightingPage::Bindings() {
  ControlBindings b = CLightingPage::Bindings();
  b.insert(b.end(), {{kKbCustomColourBtn, &kb_.custom_colour_button},
                     {kKbAllBrightCheck, &kb_.all_bright},
                     {kKbAllKillCheck, &kb_.all_kill},
                     {kKbColourSetList, &kb_.colour_sets},
                     {kOneColourList, &kb_.one_colour_list},
                     {"kb_Deng_label_FXL", &kb_.fx_left_label},
                     {"kb_Deng_label_FXR", &kb_.fx_right_label}});
  for (size_t i = 0; i < std::size(kEffectRows); ++i) {
    b.push_back({kEffectRows[i], &kb_.effect_rows[i]});
    b.push_back({kCustomRows[i], &kb_.custom_rows[i]});
  }
  return b;
}

bool CKeyboardLightingPage::OneColour() const { return variant_ == KeyboardVariant::V15; }

std::span<const ModeLayout> CKeyboardLightingPage::Layouts(int) const {
  return OneColour() ? KeyboardOneColourModeLayouts() : KeyboardModeLayouts();
}

void CKeyboardLightingPage::Bind(CRouter& router) {
  // First of the click rows: a key light picked ends the click handler.
  router.Add(Table::Click, {names::kKbDkeyPrefix, Match::Prefix,
                            [this](ui::TNotifyUI&, const NameSplit& split) { KeyPicked(split.index); }});
  CLightingPage::Bind(router);
  router.Add(Table::Drag, {names::kKbDkeyPrefix, Match::Prefix,
                           [this](ui::TNotifyUI& msg, const NameSplit& split) { KeyDragged(msg, split.index); }});
  router.Add(Table::ItemSelect, {kKbColourSetList, Match::Exact, [this](ui::TNotifyUI& msg, const NameSplit&) {
                                   auto* combo = dynamic_cast<ui::CComboUI*>(msg.pSender);
                                   if (combo != nullptr) ColourSetChosen(combo->GetCurSel());
                                 }});
  router.Add(Table::Click, {kKbCustomSelectAll, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { SelectAll(true); }});
  router.Add(Table::Click, {kKbCustomSelectNone, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { SelectAll(false); }});
  router.Add(Table::ItemSelect, {kOneColourList, Match::Exact, [this](ui::TNotifyUI& msg, const NameSplit&) {
                                   auto* combo = dynamic_cast<ui::CComboUI*>(msg.pSender);
                                   if (combo != nullptr) ModeSelected(0, combo->GetCurSel());
                                 }});
  for (bool bright : {true, false})
    router.Add(Table::SelectAfterGuard, {bright ? kKbAllBrightCheck : kKbAllKillCheck, Match::Exact,
                                         [this, bright](ui::TNotifyUI& msg, const NameSplit&) {
                                           auto* check = dynamic_cast<ui::CCheckBoxUI*>(msg.pSender);
                                           if (check != nullptr && check->GetCheck()) AllLights(bright);
                                         }});
}

void CKeyboardLightingPage::OnWindowInit() {
  // The keys raise drag notifications, so a press can sweep over several.
  for (int i = 0; i < kKeyboardKeyLights; ++i)
    if (ui::CControlUI* key = lights_.Light(DeviceKind::Keyboard, i)) key->SetDragNotify(true);
}

void CKeyboardLightingPage::OnDeviceConnected(DeviceKind kind, const ConnectResult& result) {
  if (kind != DeviceKind::Keyboard) return;
  uint8_t current[kCurrentLightingSize];
  uint8_t slot0[kLightingRecordSize];
  image().Keyboard([&](KeyboardImage& kb) {
    std::copy_n(kb.current_record, kCurrentLightingSize, current);
    std::copy_n(kb.lighting_records[0], kLightingRecordSize, slot0);
  });
  // The file is read without the image mutex held; the load copies the
  // whole light record in, so the device's lighting is put back after it.
  if (LoadProfile(DeviceKind::Keyboard, ProfileFamily::Light, result.light_profile) != kProfileReadOk)
    DebugLine("keyboard: light profile not loaded, per-key colours unchanged");
  image().Keyboard([&](KeyboardImage& kb) {
    std::copy_n(current, kCurrentLightingSize, kb.current_record);
    std::copy_n(slot0, kLightingRecordSize, kb.lighting_records[0]);
  });
}

bool CKeyboardLightingPage::InCustomMode() const {
  return !OneColour() && ReadLighting(DeviceKind::Keyboard).mode == kKeyboardCustomMode;
}

void CKeyboardLightingPage::ShowKeySelection(int index) {
  ui::CControlUI* key = lights_.Light(DeviceKind::Keyboard, index);
  if (key == nullptr) return;
  key->SetBorderColor(kSelectionBorder);
  key->SetBorderSize(selected_[static_cast<size_t>(index)] ? kSelectionBorderSize : 0);
}

void CKeyboardLightingPage::KeyPicked(int index) {
  if (index < 0 || index >= kKeyboardKeyLights || !InCustomMode()) return;
  if (drag_.active && drag_.swept) return;  // the release of a sweep: the drag decided
  selected_[static_cast<size_t>(index)] = !selected_[static_cast<size_t>(index)];
  ShowKeySelection(index);
}

void CKeyboardLightingPage::KeyDragged(const ui::TNotifyUI& msg, int index) {
  if (msg.sType == ui::kNotifyDragBegin) {
    drag_ = {};
    if (index < 0 || index >= kKeyboardKeyLights || !InCustomMode()) return;
    drag_.active = true;
    drag_.anchor = index;
    drag_.adding = !selected_[static_cast<size_t>(index)];
    drag_.start = ui::PointFromLParam(msg.lParam);
    drag_.before = selected_;
    return;
  }
  if (!drag_.active) return;
  if (msg.sType == ui::kNotifyDragEnd) {
    drag_.active = false;
    return;
  }
  // Within the pressed key the press is still a click.
  ui::CControlUI* anchor = lights_.Light(DeviceKind::Keyboard, drag_.anchor);
  if (!drag_.swept && anchor != nullptr && anchor->GetPos().Contains(msg.ptMouse)) return;
  drag_.swept = true;
  const ui::UiRect band{std::min(drag_.start.x, msg.ptMouse.x), std::min(drag_.start.y, msg.ptMouse.y),
                        std::max(drag_.start.x, msg.ptMouse.x) + 1, std::max(drag_.start.y, msg.ptMouse.y) + 1};
  for (int i = 0; i < kKeyboardKeyLights; ++i) {
    ui::CControlUI* key = lights_.Light(DeviceKind::Keyboard, i);
    if (key == nullptr || !KeyPresent(i)) continue;
    const size_t k = static_cast<size_t>(i);
    const bool want = key->GetPos().Intersects(band) ? drag_.adding : drag_.before[k];
    if (want == selected_[k]) continue;
    selected_[k] = want;
    ShowKeySelection(i);
  }
}

bool CKeyboardLightingPage::KeyPresent(int index) const { return KeyboardLayoutHasLight(variant_, index); }

void CKeyboardLightingPage::ShowLayoutVariant() {
  variant_ = image().Keyboard([](KeyboardImage& kb) { return kb.variant; });
  for (int i = 0; i < kKeyboardKeyLights; ++i) {
    ui::CControlUI* key = lights_.Light(DeviceKind::Keyboard, i);
    if (key == nullptr) continue;
    const bool present = KeyPresent(i);
    if (key->IsVisible() != present) key->SetVisible(present);
    if (!present && selected_[static_cast<size_t>(i)]) {
      selected_[static_cast<size_t>(i)] = false;
      ShowKeySelection(i);
    }
  }
}

void CKeyboardLightingPage::ColourSetChosen(int set) {
  if (!image().Keyboard([set](KeyboardImage& kb) { return SetActiveKeyColourSet(kb, set); })) return;
  if (InCustomMode()) ShowKeyColours(true);
  Save();
}

void CKeyboardLightingPage::SelectAll(bool on) {
  for (int i = 0; i < kKeyboardKeyLights; ++i) {
    // Keys the layout variant lacks are never selected.
    selected_[static_cast<size_t>(i)] = on && KeyPresent(i);
    ShowKeySelection(i);
  }
}

void CKeyboardLightingPage::ShowKeyColours(bool custom) {
  std::array<uint32_t, kKeyboardKeyLights> colours{};
  if (custom) {
    image().Keyboard([&colours](KeyboardImage& kb) {
      const int set = ActiveKeyColourSet(kb);
      for (int i = 0; i < kKeyboardKeyLights; ++i) colours[static_cast<size_t>(i)] = KeyColour(kb, set, i);
    });
  }
  for (int i = 0; i < kKeyboardKeyLights; ++i) {
    lights_.SetColour(DeviceKind::Keyboard, static_cast<unsigned>(i), 0xFF000000u | colours[static_cast<size_t>(i)]);
    lights_.SetAlpha(DeviceKind::Keyboard, static_cast<unsigned>(i), custom ? kKeyTintAlpha : 0);
    if (!custom) selected_[static_cast<size_t>(i)] = false;
    ShowKeySelection(i);
  }
}

void CKeyboardLightingPage::PaintKeys(const std::array<bool, kKeyboardKeyLights>& which, ui::UiColor colour) {
  image().Keyboard([&](KeyboardImage& kb) {
    const int set = ActiveKeyColourSet(kb);
    for (size_t i = 0; i < which.size(); ++i)
      if (which[i]) SetKeyColour(kb, set, static_cast<int>(i), colour);
  });
  ShowKeyColours(true);
  Save();
}

void CKeyboardLightingPage::SetKeyColours(const std::array<uint32_t, kKeyboardKeyLights>& colours) {
  image().Keyboard([&colours](KeyboardImage& kb) {
    const int set = ActiveKeyColourSet(kb);
    for (int i = 0; i < kKeyboardKeyLights; ++i) SetKeyColour(kb, set, i, colours[static_cast<size_t>(i)]);
  });
}

void CKeyboardLightingPage::ApplyLightColour(ui::UiColor colour, bool store) {
  if (!InCustomMode()) {
    CLightingPage::ApplyLightColour(colour, store);
    return;
  }
  // Custom-colour mode: the colour controls hold the custom colour.
  custom_colour_ = colour | 0xFF000000u;
  ShowColourControls(custom_colour_);
  if (ui::CControlUI* button = kb_.custom_colour_button.get()) button->SetBkColor(custom_colour_);
  if (store) PaintKeys(selected_, custom_colour_);
}

void CKeyboardLightingPage::AllLights(bool bright) {
  if (ui::CCheckBoxUI* other = (bright ? kb_.all_kill : kb_.all_bright).get()) other->SetCheck(false, false);
  if (InCustomMode()) {
    std::array<bool, kKeyboardKeyLights> all{};
    all.fill(true);
    PaintKeys(all, bright ? custom_colour_ : 0xFF000000u);
    return;
  }
  const uint8_t level = bright ? kLightSliderMax : 0;
  UpdateLighting(DeviceKind::Keyboard, [level](LightingBytes& l) { l.brightness = level; });
  if (ui::CSliderUI* slider = LightSlider()) slider->SetValue(level);
  Stored();
}

void CKeyboardLightingPage::ShowModeControls(const ModeLayout* layout) {
  const bool custom = layout != nullptr && layout->custom_colours;
  for (const Handle<>& row : kb_.effect_rows) row.Show(!custom);
  for (const Handle<>& row : kb_.custom_rows) row.Show(custom);
  if (layout != nullptr) {
    ApplyLayout(*layout);
    if (layout->fx_left != nullptr)
      if (ui::CControlUI* label = kb_.fx_left_label.get()) label->SetAttribute("text", std::string("%[") + layout->fx_left + "]");
    if (layout->fx_right != nullptr)
      if (ui::CControlUI* label = kb_.fx_right_label.get()) label->SetAttribute("text", std::string("%[") + layout->fx_right + "]");
  }
  ShowKeyColours(custom);
}

void CKeyboardLightingPage::ModeSelected(int, int item) {
  if (item < 0) return;
  const LightingBytes b = UpdateLighting(DeviceKind::Keyboard, [item](LightingBytes& l) { l.mode = static_cast<uint8_t>(item); });
  const ModeLayout* layout = LayoutOf(Layouts(0), item);
  ShowModeControls(layout);
  ShowColourControls(layout != nullptr && layout->custom_colours ? custom_colour_ : b.Argb());
  Stored();
  if (ILightingPreview* preview = LightingPreview()) {
    preview->RestartPreview(DeviceKind::Keyboard, PreviewStart::Beginning);
    if (layout != nullptr && layout->reset_keyboard_preview) preview->ResetKeyboardPreview(item);
  }
}

void CKeyboardLightingPage::ShowLighting(const LightingBytes& b) {
  ShowLayoutVariant();
  const int set = image().Keyboard([](KeyboardImage& kb) { return ActiveKeyColourSet(kb); });
  if (ui::CComboUI* combo = kb_.colour_sets.get()) combo->SelectItem(set, false, false);
  CLightingPage::ShowLighting(b);
  // The single-colour keyboard has its own mode list in the same place.
  for (int list = 0; list < 2; ++list)
    if (ui::CComboUI* combo = list == 0 ? ModeList() : kb_.one_colour_list.get()) {
      const bool shown = (list == 1) == OneColour();
      if (ui::CControlUI* row = combo->GetParent(); row != nullptr && row->IsVisible() != shown) row->SetVisible(shown);
      if (shown) combo->SelectItem(b.mode, false, false);
    }
  const ModeLayout* layout = LayoutOf(Layouts(0), b.mode);
  ShowModeControls(layout);
  if (layout != nullptr && layout->custom_colours) ShowColourControls(custom_colour_);
}

}  // namespace trx::pages
