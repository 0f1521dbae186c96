#pragma once
// The keyboard's lighting page ("keyboard_deng.xml"): the lighting page
// (lighting_page.h) over the keyboard's 21-byte current lighting record and
// its 16-mode list "kb_deng_combo_modeSelect", plus what a keyboard with
// per-key lighting adds (docs/keyboard-lighting.md):
//
//  - the keyboard picture: each key "kb_dkey_" + index (0-125) is a light;
//    the keys the keyboard's layout variant lacks are hidden
//    (keyboard_layouts.h). A click picks the key; in the custom-colour mode
//    (8) picked keys are selected (click again to drop one). Pressing on a
//    key and dragging sweeps a rectangle from the press point to the
//    pointer: the keys it touches are added to the selection, or dropped
//    from it when the press was on a selected key; the selection follows
//    the pointer until the release. "kb_deng_custom_select_all" and
//    "kb_deng_custom_select_none" select all or none;
//  - custom colours: in mode 8 a palette, preset or typed colour becomes the
//    custom colour ("kb_deng_custom_colour_btn") and paints the selected
//    keys in the chosen colour set ("kb_deng_combo_curtom_count", five
//    sets of 126 colours in the keyboard's per-key colour block,
//    settings/key_colour_sets.h), saved with its light profile;
//  - "kb_Deng_all_bright_check" / "kb_Deng_all_kill_check": in mode 8 every
//    key takes the custom colour / goes dark; in the other modes the
//    brightness becomes 14 / 0;
//  - the single-colour keyboard (layout variant 1) shows the one-colour
//    list "kb_deng_onecolor_combo_modeSelect" (its eleven effects, which
//    the preview plays in the keyboard's one colour) in place of the
//    sixteen-mode list; the colour controls stay disabled and there is no
//    custom-colour mode.
//
// UI thread only.

#include <array>

#include "pages/key_lights.h"
#include "pages/lighting_page.h"

namespace trx::pages {

inline constexpr int kKeyboardKeyLights = names::kKbDkeyCount;
inline constexpr const char* kKbCustomSelectAll = "kb_deng_custom_select_all";
inline constexpr const char* kKbCustomSelectNone = "kb_deng_custom_select_none";
inline constexpr const char* kKbCustomColourBtn = "kb_deng_custom_colour_btn";
inline constexpr const char* kKbAllBrightCheck = "kb_Deng_all_bright_check";
inline constexpr const char* kKbAllKillCheck = "kb_Deng_all_kill_check";
inline constexpr const char* kKbColourSetList = "kb_deng_combo_curtom_count";

class CKeyboardLightingPage : public CLightingPage {
 public:
  CKeyboardLightingPage(PageContext& context, LightingGroup& group, const CKeyLights& lights);
  void Bind(CRouter& router) override;
  ControlBindings Bindings() override;
  void OnWindowInit() override;
  void ApplyLightColour(ui::UiColor colour, bool store) override;
  // The per-key colours live only in the light profile: the selected one's
  // block is taken into the image (the lighting the keyboard reported stays).
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) override;

  // Per-key colours from outside the window (the OpenRGB server): every
  // key's 0xRRGGBB into the active colour set. Shown and saved with the
  // next ApplyLighting.
  void SetKeyColours(const std::array<uint32_t, kKeyboardKeyLights>& colours);

  bool KeySelected(int index) const { return index >= 0 && index < kKeyboardKeyLights && selected_[index]; }
  ui::UiColor CustomColour() const { return custom_colour_; }

 protected:
  void ModeSelected(int variant, int item) override;
  void ShowLighting(const LightingBytes& bytes) override;
  std::span<const ModeLayout> Layouts(int variant) const override;

 private:
  bool InCustomMode() const;
  void KeyPicked(int index);
  void KeyDragged(const ui::TNotifyUI& msg, int index);
  void ColourSetChosen(int set);
  // Shows the keys of the keyboard's layout variant, hides the others.
  void ShowLayoutVariant();
  bool OneColour() const;  // the single-colour keyboard
  bool KeyPresent(int index) const;
  void SelectAll(bool on);
  void ShowKeySelection(int index);
  void ShowKeyColours(bool custom);
  void PaintKeys(const std::array<bool, kKeyboardKeyLights>& which, ui::UiColor colour);
  void AllLights(bool bright);
  void ShowModeControls(const ModeLayout* layout);

  // The keyboard's own controls: the custom-colour tools, the rows shown
  // per mode, the two mode lists and the effect direction labels.
  struct KeyboardUi {
    Handle<> custom_colour_button;
    Handle<ui::CCheckBoxUI> all_bright, all_kill;
    Handle<ui::CComboUI> colour_sets;
    Handle<ui::CComboUI> one_colour_list;  // the sixteen-mode list is the base page's
    Handle<> effect_rows[3];             // shown outside the custom-colour mode
    Handle<> custom_rows[3];             // shown in it
    Handle<> fx_left_label, fx_right_label;
  };

  const CKeyLights& lights_;
  KeyboardUi kb_;
  std::array<bool, kKeyboardKeyLights> selected_{};
  // A drag over the picture: from the press point on key `anchor`; the
  // selection before it, restored for keys the rectangle leaves again.
  struct KeyDrag {
    bool active = false;
    bool swept = false;  // the pointer has left the pressed key
    bool adding = true;
    int anchor = -1;
    ui::UiPoint start{};
    std::array<bool, kKeyboardKeyLights> before{};
  } drag_;
  KeyboardVariant variant_ = KeyboardVariant::Full;
  ui::UiColor custom_colour_ = 0xFFFFFFFF;
};

}  // namespace trx::pages
