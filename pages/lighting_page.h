#pragma once
// The lighting pages of the mouse ("Mouse_deng.xml", prefix "ms_"), the
// mouse pad ("MousePad_deng.xml", "mp_") and the keyboard
// ("keyboard_deng.xml", "kb_"; its own additions in
// keyboard_lighting_page.h). Each page edits the lighting bytes 1-8 of its
// device's current record (settings/lighting_bytes.h):
//
//   mode list        byte 1 := item; the mode's layout (lighting_modes.h)
//   brightness       byte 2 := slider value
//   speed            byte 3 := 14 - slider value, never below 0
//   direction        byte 4 := 1 left ("FXL"), 0 right ("FXR")
//   colour cycle     byte 5 := 1 checked, 0 cleared
//   colour           bytes 6-8 from the palette, a preset colour or the
//                    typed red, green, blue (above 255 becomes 255); a
//                    colour choice clears the colour cycle (byte 5 := 0)
//
// Every change marks the device's record pending (the apply timer sends
// it) and saves: the mouse its light and device profiles, the pad and the
// keyboard their light profile. The same-mode button ("Apply to all
// devices") copies bytes 1-8 to the synchronised-lighting settings and to
// each other device that has a mode of the same effect
// (settings/lighting_effects.h: the mode byte is that device's own number
// for it), shows them on its page, saves them, marks its record pending so
// the settings send takes it to the device, and sets the "follows
// synchronised lighting" flag of the source and of each device that took
// it. A device with no equal effect keeps its lighting, and a message box
// names it ("same_mode_left_text").
//
// The pad page also switches the pad's onboard profile
// ("mp_deng_combo_profile") and restores its defaults
// ("mp_one_profile_default": Reset to defaults, then, 1 s later on timer
// kTimerPadReadAll, the read-all message; the UI thread never waits).
//
// Refresh(kind) puts the device's record on its page without storing.
//
// UI thread only.

#include <array>
#include <string>
#include <vector>

#include "pages/lighting_modes.h"
#include "pages/page.h"
#include "settings/lighting_bytes.h"
#include "ui/core/color_palette.h"
#include "ui/core/progress.h"

namespace trx::pages {

// The window timer after which the pad's defaults are read back.
inline constexpr int kTimerPadReadAll = 21;
inline constexpr int kPadDefaultsWaitMs = 1000;

class CLightingPage;

// The three lighting pages, for the copy between devices. Owned by the
// page set; each page registers itself when constructed.
struct LightingGroup {
  std::array<CLightingPage*, 3> pages{};  // keyboard, mouse, pad (DeviceKind 1-3)
  CLightingPage* Of(DeviceKind kind) const { return pages[static_cast<size_t>(kind) - 1]; }
};

class CLightingPage : public CPage {
 public:
  CLightingPage(PageContext& context, DeviceKind kind, LightingGroup& group);
  void Bind(CRouter& router) override;
  void Refresh(DeviceKind kind) override;
  ControlBindings Bindings() override;

  DeviceKind Kind() const { return kind_; }
  // Shows `colour` on the colour button and the three edits; with `store`
  // also clears the colour cycle, writes bytes 6-8, byte 5 := 0, marks the
  // record pending and saves.
  virtual void ApplyLightColour(ui::UiColor colour, bool store);
  // Copies this device's bytes 1-8 to the other two (see above).
  void CopyLightingToOthers();
  // A change made outside the window (the OpenRGB server): bytes 1-8 are
  // stored and shown, the preview restarts when the mode changed, the
  // record is marked pending and the profiles saved, as a choice on the
  // page would.
  void ApplyLighting(const LightingBytes& bytes);

 protected:
  std::string Name(const char* suffix) const { return prefix_ + suffix; }
  // Marks the record pending and saves the device's profiles.
  void Stored();
  void Save();
  // The mode list item chosen (variant: the mouse's list 0-2, else 0).
  virtual void ModeSelected(int variant, int item);
  void ApplyLayout(const ModeLayout& layout);
  // Shows bytes 1-8 (mode list, sliders, direction, cycle, colour).
  virtual void ShowLighting(const LightingBytes& bytes);
  void ShowColourControls(ui::UiColor colour);
  virtual std::span<const ModeLayout> Layouts(int variant) const;
  std::string ModeListName(int variant) const;
  // The page's own brightness slider and mode list (variant 0), bound once.
  ui::CSliderUI* LightSlider() const { return ui_.light_slider.get(); }
  ui::CComboUI* ModeList() const { return ui_.mode_lists[0].get(); }

 private:
  // The page's controls ("<prefix>..."); the mode switch and lists by
  // variant for the mouse, the onboard combo for the pad only.
  struct Ui {
    Handle<> fx_layout, colour_layout, cycle_layout, speed_layout, same_mode, colour_button;
    Handle<ui::CColorPaletteUI> palette;
    Handle<ui::CSliderUI> light_slider, speed_slider;
    Handle<> edits[3];  // red, green, blue
    Handle<ui::CCheckBoxUI> cycle;
    Handle<ui::COptionUI> left, right;  // direction
    Handle<ui::CTabLayoutUI> mode_switch;
    Handle<ui::CComboUI> mode_lists[kMouseModeVariants];
    Handle<ui::CComboUI> pad_onboard;
  };
  void SliderReleased(bool speed);
  void ColourTyped(int component);
  void ColourCycleChanged();
  void DirectionChosen(bool left);
  void PresetClicked(int index);
  void PaletteChanged();
  void RestartPreview(bool from_end, uint8_t direction);
  void PadOnboardSelected();
  void PadDefaults();
  void SendCopiedLighting(DeviceKind target);
  void TellLeftAlone(const std::vector<DeviceKind>& kinds);

  DeviceKind kind_;
  std::string prefix_;
  LightingGroup& group_;
  int variant_ = kMouseRefreshVariant;  // the mouse list in use
  Ui ui_;
};

}  // namespace trx::pages
