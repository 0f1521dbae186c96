#include "pages/lighting_page.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "device/commands.h"
#include "pages/lighting_preview.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "presence/presence_messages.h"
#include "settings/lighting_effects.h"
#include "settings/onboard_profile.h"
#include "settings/pad_onboard_profile.h"
#include "settings/settings_host.h"
#include "ui/core/color_palette.h"
#include "ui/core/combo.h"
#include "ui/core/option.h"
#include "ui/core/progress.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/preset_colors.h"

namespace trx::pages {

namespace {

const char* PrefixOf(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return "kb_";
    case DeviceKind::MousePad: return "mp_";
    case DeviceKind::Mouse: break;
  }
  return "ms_";
}

// Language texts of the note on devices a copy left alone.
constexpr const char* kSameModeLeftText = "same_mode_left_text";
constexpr const char* kListSeparatorText = "list_separator_text";
constexpr const char* kTabKeyboardText = "tab_keyboard_text";
constexpr const char* kTabMouseText = "tab_mouse_text";
constexpr const char* kTabMousePadText = "tab_mousepad_text";

constexpr const char* kEditSuffixes[3] = {"Deng_edit_R", "Deng_edit_G", "Deng_edit_B"};

void SetSwitch(const Handle<>& c, const LayoutSwitch& s) {
  if (s.enabled != Tri::Keep) c.Enable(s.enabled == Tri::On);
  if (s.visible != Tri::Keep) c.Show(s.visible == Tri::On);
}

}  // namespace

CLightingPage::CLightingPage(PageContext& context, DeviceKind kind, LightingGroup& group)
    : CPage(context), kind_(kind), prefix_(PrefixOf(kind)), group_(group) {
  group_.pages[static_cast<size_t>(kind) - 1] = this;
}

std::string CLightingPage::ModeListName(int variant) const {
  if (kind_ == DeviceKind::Mouse) return Name("deng_combo_modeSelect") + std::to_string(variant);
  return Name("deng_combo_modeSelect");
}

ControlBindings CLightingPage::Bindings() {
  ControlBindings b = {{Name("deng_fx_layout"), &ui_.fx_layout},
                       {Name("deng_color_layout"), &ui_.colour_layout},
                       {Name("deng_7colorselect_layout"), &ui_.cycle_layout},
                       {Name("deng_speed_layout"), &ui_.speed_layout},
                       {Name("deng_same_mode"), &ui_.same_mode},
                       {Name("Deng_colordp_btn"), &ui_.colour_button},
                       {Name("deng_Color_Pallet"), &ui_.palette},
                       {Name("deng_light_slider"), &ui_.light_slider},
                       {Name("deng_speed_slider"), &ui_.speed_slider},
                       {Name("Deng_7color_check"), &ui_.cycle},
                       {Name("Deng_FXL_check"), &ui_.left},
                       {Name("Deng_FXR_check"), &ui_.right}};
  for (int c = 0; c < 3; ++c) b.push_back({Name(kEditSuffixes[c]), &ui_.edits[c]});
  const int variants = kind_ == DeviceKind::Mouse ? kMouseModeVariants : 1;
  for (int v = 0; v < variants; ++v) b.push_back({ModeListName(v), &ui_.mode_lists[v]});
  if (kind_ == DeviceKind::Mouse) b.push_back({Name("deng_mode_switch"), &ui_.mode_switch});
  if (kind_ == DeviceKind::MousePad) b.push_back({"mp_deng_combo_profile", &ui_.pad_onboard});
  return b;
}

std::span<const ModeLayout> CLightingPage::Layouts(int variant) const {
  return kind_ == DeviceKind::Mouse ? MouseModeLayouts(variant) : PadModeLayouts();
}

void CLightingPage::Bind(CRouter& router) {
  auto add = [&](Table table, const std::string& name, auto fn, Match match = Match::Exact, Then then = Then::End) {
    router.Add(table, {name, match, [this, fn](ui::TNotifyUI& msg, const NameSplit& split) { fn(msg, split); }, then});
  };
  const int variants = kind_ == DeviceKind::Mouse ? kMouseModeVariants : 1;
  for (int v = 0; v < variants; ++v)
    add(Table::ItemSelect, ModeListName(v), [this, v](ui::TNotifyUI& msg, const NameSplit&) {
      auto* combo = dynamic_cast<ui::CComboUI*>(msg.pSender);
      if (combo != nullptr) ModeSelected(v, combo->GetCurSel());
    });
  add(Table::ValueChanged, Name("deng_light_slider"), [this](ui::TNotifyUI&, const NameSplit&) { SliderReleased(false); });
  add(Table::ValueChanged, Name("deng_speed_slider"), [this](ui::TNotifyUI&, const NameSplit&) { SliderReleased(true); });
  for (int c = 0; c < 3; ++c)
    add(Table::TextChanged, Name(kEditSuffixes[c]), [this, c](ui::TNotifyUI&, const NameSplit&) { ColourTyped(c); });
  // The colour-cycle check and the direction options: before the
  // macro-edit guard, which then runs as for any selection.
  add(Table::SelectBeforeGuard, Name("Deng_7color_check"), [this](ui::TNotifyUI&, const NameSplit&) { ColourCycleChanged(); },
      Match::Exact, Then::Guard);
  add(Table::SelectBeforeGuard, Name("Deng_FXL_check"), [this](ui::TNotifyUI& msg, const NameSplit&) {
        auto* o = dynamic_cast<ui::COptionUI*>(msg.pSender);
        if (o != nullptr && o->IsSelected()) DirectionChosen(true);
      }, Match::Exact, Then::Guard);
  add(Table::SelectBeforeGuard, Name("Deng_FXR_check"), [this](ui::TNotifyUI& msg, const NameSplit&) {
        auto* o = dynamic_cast<ui::COptionUI*>(msg.pSender);
        if (o != nullptr && o->IsSelected()) DirectionChosen(false);
      }, Match::Exact, Then::Guard);
  add(Table::ColorChanged, Name("deng_Color_Pallet"), [this](ui::TNotifyUI&, const NameSplit&) { PaletteChanged(); });
  add(Table::Click, Name("Deng_color_btn_"), [this](ui::TNotifyUI&, const NameSplit& split) { PresetClicked(split.index); }, Match::Prefix);
  add(Table::Click, Name("deng_same_mode"), [this](ui::TNotifyUI&, const NameSplit&) { CopyLightingToOthers(); });
  if (kind_ == DeviceKind::Mouse) {
    add(Table::Click, Name("Deng_FXL_btn"), [this](ui::TNotifyUI&, const NameSplit&) { DirectionChosen(true); });
    add(Table::Click, Name("Deng_FXR_btn"), [this](ui::TNotifyUI&, const NameSplit&) { DirectionChosen(false); });
  }
  if (kind_ == DeviceKind::MousePad) {
    add(Table::ItemSelect, "mp_deng_combo_profile", [this](ui::TNotifyUI&, const NameSplit&) { PadOnboardSelected(); });
    add(Table::Click, "mp_one_profile_default", [this](ui::TNotifyUI&, const NameSplit&) { PadDefaults(); });
  }
}

void CLightingPage::Save() {
  if (kind_ == DeviceKind::Mouse) {
    if (SaveLightAndDeviceProfile() != ProfileSaveResult::Saved) DebugLine("mouse light or device profile could not be saved");
    return;
  }
  if (IProfileSaver* saver = ProfileSaver()) {
    if (saver->SaveCurrentProfile(kind_, ProfileFamily::Light) != ProfileSaveResult::Saved)
      DebugLineF("%s light profile could not be saved", DeviceKindName(kind_));
  }
}

void CLightingPage::Stored() {
  ctx_.devices.MarkSettingsPending(kind_);
  Save();
}

void CLightingPage::ApplyLayout(const ModeLayout& layout) {
  SetSwitch(ui_.fx_layout, layout.direction);
  SetSwitch(ui_.colour_layout, layout.colour);
  SetSwitch(ui_.cycle_layout, layout.cycle);
  SetSwitch(ui_.speed_layout, layout.speed);
  if (layout.palette != Tri::Keep) ui_.palette.Show(layout.palette == Tri::On);
  if (layout.same_mode != Tri::Keep) ui_.same_mode.Enable(layout.same_mode == Tri::On);
}

void CLightingPage::RestartPreview(bool from_end, uint8_t direction) {
  ILightingPreview* preview = LightingPreview();
  if (preview == nullptr) return;
  PreviewStart start = PreviewStart::Beginning;
  if (from_end) {
    if (kind_ == DeviceKind::MousePad) start = PreviewStart::FirstGroup;
    else start = direction == 1 ? PreviewStart::LeftEnd : PreviewStart::RightEnd;
  }
  preview->RestartPreview(kind_, start);
}

void CLightingPage::ModeSelected(int variant, int item) {
  if (item < 0) return;
  variant_ = variant;
  const LightingBytes b = UpdateLighting(kind_, [item](LightingBytes& l) { l.mode = static_cast<uint8_t>(item); });
  const ModeLayout* layout = LayoutOf(Layouts(variant), item);
  if (layout != nullptr) {
    ApplyLayout(*layout);
    RestartPreview(layout->preview_from_end, b.direction);
  }
  Stored();
}

void CLightingPage::SliderReleased(bool speed) {
  ui::CSliderUI* slider = (speed ? ui_.speed_slider : ui_.light_slider).get();
  if (slider == nullptr) return;
  const int value = slider->GetValue();
  UpdateLighting(kind_, [&](LightingBytes& l) {
    if (speed) l.speed = LightingBytes::SpeedFromSlider(value);
    else l.brightness = static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
  });
  Stored();
}

void CLightingPage::ShowColourControls(ui::UiColor colour) {
  if (ui::CControlUI* button = ui_.colour_button.get()) {
    button->SetBkColor(colour | 0xFF000000u);
    button->SetBkImage("");
  }
  const int parts[3] = {static_cast<int>((colour >> 16) & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                        static_cast<int>(colour & 0xFF)};
  for (int c = 0; c < 3; ++c) ui_.edits[c].SetText(std::to_string(parts[c]));
}

void CLightingPage::ApplyLightColour(ui::UiColor colour, bool store) {
  ShowColourControls(colour);
  if (!store) return;
  if (ui::CCheckBoxUI* cycle = ui_.cycle.get()) cycle->SetCheck(false, false);
  UpdateLighting(kind_, [colour](LightingBytes& l) {
    l.SetColour(colour);
    l.colour_cycle = 0;
  });
  Stored();
}

void CLightingPage::ColourTyped(int component) {
  ui::CControlUI* edit = ui_.edits[component].get();
  if (edit == nullptr) return;
  const std::string text = edit->GetText();
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  // An emptied edit (the user is about to type) stores nothing.
  if (text.empty() || ec != std::errc() || value < 0) return;
  if (value > 255) {
    value = 255;
    edit->SetText("255");
  }
  const int shift = 16 - 8 * component;
  ui::UiColor colour = 0xFF000000u;
  if (ui::CControlUI* button = ui_.colour_button.get()) colour = button->GetBkColor() | 0xFF000000u;
  colour = (colour & ~(0xFFu << shift)) | (static_cast<ui::UiColor>(value) << shift);
  if (ui::CControlUI* button = ui_.colour_button.get()) {
    button->SetBkColor(colour);
    button->SetBkImage("");
  }
  if (ui::CColorPaletteUI* palette = ui_.palette.get()) palette->SetSelectColor(colour);
  if (ui::CCheckBoxUI* cycle = ui_.cycle.get()) cycle->SetCheck(false, false);
  UpdateLighting(kind_, [&](LightingBytes& l) {
    (component == 0 ? l.red : component == 1 ? l.green : l.blue) = static_cast<uint8_t>(value);
    l.colour_cycle = 0;
  });
  Stored();
}

void CLightingPage::ColourCycleChanged() {
  ui::CCheckBoxUI* cycle = ui_.cycle.get();
  if (cycle == nullptr) return;
  const bool on = cycle->GetCheck();
  UpdateLighting(kind_, [on](LightingBytes& l) { l.colour_cycle = on ? 1 : 0; });
  Stored();
}

void CLightingPage::DirectionChosen(bool left) {
  (left ? ui_.left : ui_.right).Select(false);
  if (ui::COptionUI* other = (left ? ui_.right : ui_.left).get()) other->Selected(false, false);
  UpdateLighting(kind_, [left](LightingBytes& l) { l.direction = left ? 1 : 0; });
  Stored();
  if (kind_ == DeviceKind::Mouse) RestartPreview(true, left ? 1 : 0);
}

void CLightingPage::PresetClicked(int index) {
  // The table is constant data in the header; a malformed name's index
  // outside 0-29 selects nothing.
  if (index < 0 || index >= ui::kPresetColorCount) return;
  const ui::UiColor colour = ui::kPresetColors[static_cast<size_t>(index)];
  if (ui::CColorPaletteUI* palette = ui_.palette.get()) palette->SetSelectColor(colour);
  ApplyLightColour(colour, true);
}

void CLightingPage::PaletteChanged() {
  ui::CColorPaletteUI* palette = ui_.palette.get();
  if (palette != nullptr) ApplyLightColour(palette->GetSelectColor(), true);
}

void CLightingPage::CopyLightingToOthers() {
  const LightingBytes source = ReadLighting(kind_);
  WriteSyncLighting(source);
  std::vector<DeviceKind> left_alone;
  ctx_.devices.Channel(kind_).follows_synchronised_lighting = 1;
  const KeyboardVariant keyboard = image().Keyboard([](KeyboardImage& kb) { return kb.variant; });
  for (DeviceKind target : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad}) {
    if (target == kind_) continue;
    // Mode numbers differ between the devices: the target takes its own
    // mode of the same effect, or keeps its lighting where it has none.
    const std::optional<uint8_t> mode = EqualMode(kind_, source.mode, target, keyboard);
    if (!mode) {
      left_alone.push_back(target);
      continue;
    }
    LightingBytes copy = source;
    copy.mode = *mode;
    WriteLighting(target, copy);
    if (CLightingPage* page = group_.Of(target)) {
      page->Refresh(target);
      page->Save();
    }
    SendCopiedLighting(target);
    ctx_.devices.Channel(target).follows_synchronised_lighting = 1;
  }
  if (!left_alone.empty()) TellLeftAlone(left_alone);
}

// The copied record goes to the device with the next settings send.
void CLightingPage::SendCopiedLighting(DeviceKind target) { ctx_.devices.MarkSettingsPending(target); }

void CLightingPage::TellLeftAlone(const std::vector<DeviceKind>& kinds) {
  ui::CResourceManager* rm = ui::CResourceManager::GetInstance();
  std::string names;
  for (DeviceKind kind : kinds) {
    if (!names.empty()) names += rm->GetText(kListSeparatorText);
    names += rm->GetText(kind == DeviceKind::Keyboard ? kTabKeyboardText
                         : kind == DeviceKind::Mouse  ? kTabMouseText
                                                      : kTabMousePadText);
  }
  std::string text = rm->GetText(kSameModeLeftText);
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, names);
  ctx_.dialogs.ShowText(text);
}

void CLightingPage::ApplyLighting(const LightingBytes& bytes) {
  const LightingBytes before = ReadLighting(kind_);
  WriteLighting(kind_, bytes);
  ShowLighting(bytes);
  if (bytes.mode != before.mode) {
    const ModeLayout* layout = LayoutOf(Layouts(variant_), bytes.mode);
    RestartPreview(layout != nullptr && layout->preview_from_end, bytes.direction);
  }
  Stored();
}

void CLightingPage::ShowLighting(const LightingBytes& b) {
  int variant = 0;
  if (kind_ == DeviceKind::Mouse) {
    variant = kMouseRefreshVariant;
    variant_ = variant;
    ui_.mode_switch.SelectPage(variant);
  }
  if (ui::CComboUI* combo = ui_.mode_lists[variant].get()) combo->SelectItem(b.mode, false, false);
  if (const ModeLayout* layout = LayoutOf(Layouts(variant), b.mode)) ApplyLayout(*layout);
  if (ui::CSliderUI* s = ui_.light_slider.get()) s->SetValue(b.brightness);
  if (ui::CSliderUI* s = ui_.speed_slider.get()) s->SetValue(LightingBytes::SliderFromSpeed(b.speed));
  if (ui::CColorPaletteUI* palette = ui_.palette.get()) palette->SetSelectColor(b.Argb());
  ShowColourControls(b.Argb());
  if (ui::CCheckBoxUI* cycle = ui_.cycle.get()) cycle->SetCheck(b.colour_cycle != 0, false);
  (b.direction == 1 ? ui_.left : ui_.right).Select(false);
}

void CLightingPage::Refresh(DeviceKind kind) {
  if (kind != kind_) return;
  ShowLighting(ReadLighting(kind_));
  if (kind_ == DeviceKind::MousePad) {
    const uint8_t active = image().Pad([](MousePadImage& pad) { return pad.current_record[0]; });
    if (ui::CComboUI* combo = ui_.pad_onboard.get())
      if (active < kLightingRecordCount) combo->SelectItem(active, false, false);
  }
}

void CLightingPage::PadOnboardSelected() {
  ui::CComboUI* combo = ui_.pad_onboard.get();
  if (combo == nullptr || combo->GetCurSel() < 0) return;
  const int n = combo->GetCurSel();
  ctx_.devices.Submit(DeviceKind::MousePad,
                      Operation(
                          "pad onboard switch",
                          [n](OperationContext& op) { return SwitchPadOnboardProfile(op.Channel(), n); },
                          [this, n](const OperationOutcome& o) {
                            if (o.status != OperationStatus::Ran) return;
                            if (o.result == kSwitchDone) Refresh(DeviceKind::MousePad);
                            else if (o.result != kSwitchAlreadyActive)
                              DebugLineF("pad onboard profile %d not selected: %s", n, OnboardSwitchResultName(o.result.As<OnboardSwitchResult>()));
                          }));
}

void CLightingPage::PadDefaults() {
  ctx_.devices.Submit(DeviceKind::MousePad,
                      Operation(
                          "pad defaults", [](OperationContext& op) { return ResetToDefaults(op.Channel()); },
                          [this](const OperationOutcome& o) {
                            if (!o.Ok())
                              DebugLineF("pad defaults: no reply to the reset (%s); the pad is read again all the same",
                                         CommandResultName(o.result.As<CommandResult>()));
                            // The device needs a moment before it answers again; the timer
                            // sends the read-all message without holding the UI thread. Also
                            // without a reply: the reset may have been done, and the page then
                            // shows what the pad holds.
                            ctx_.window.StartTimer(kTimerPadReadAll, kPadDefaultsWaitMs, [this] {
                              ctx_.window.KillTimer(kTimerPadReadAll);
                              ctx_.devices.ReadAgain(DeviceKind::MousePad);
                            });
                          }));
}

}  // namespace trx::pages
