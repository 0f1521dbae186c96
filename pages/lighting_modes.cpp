#include "pages/lighting_modes.h"

#include <array>

namespace trx::pages {

namespace {

constexpr Tri K = Tri::Keep;
constexpr Tri N = Tri::Off;
constexpr Tri Y = Tri::On;

// Enabled only.
constexpr LayoutSwitch E(bool on) { return {on ? Y : N, K}; }
// Enabled and visible together.
constexpr LayoutSwitch EV(bool on) { return {on ? Y : N, on ? Y : N}; }
// Enabled, and shown when on (never hidden).
constexpr LayoutSwitch ES(bool on) { return {on ? Y : N, on ? Y : K}; }

constexpr ModeLayout Mouse2(LayoutSwitch d, LayoutSwitch c, LayoutSwitch cy, LayoutSwitch s, Tri palette,
                            bool from_end = false) {
  return {d, c, cy, s, palette, N, from_end};
}

// Variant 2, the list the refresh shows. Modes 5 and 6 also show the
// layouts they enable (and the palette with the colour), so that choosing
// them after mode 0 does not leave enabled controls hidden.
constexpr std::array<ModeLayout, 7> kMouse2{{
    Mouse2(EV(false), EV(false), EV(false), EV(true), N),
    Mouse2(EV(false), EV(false), EV(false), EV(true), N),
    Mouse2(EV(false), EV(true), EV(true), EV(true), Y),
    Mouse2(EV(false), EV(true), EV(false), EV(true), Y),
    Mouse2(EV(false), EV(true), EV(false), EV(false), Y),
    Mouse2(ES(true), ES(true), ES(true), ES(true), Y, true),
    Mouse2(E(false), ES(true), ES(true), ES(true), Y),
}};

constexpr std::array<ModeLayout, 6> kMouse0{{
    Mouse2(E(false), E(false), E(false), E(true), K),
    Mouse2(E(false), E(true), E(true), E(true), K),
    Mouse2(E(false), E(true), E(true), E(true), K),
    Mouse2(E(false), E(true), E(false), E(false), K),
    Mouse2(E(true), E(true), E(true), E(true), K),
    Mouse2(E(true), E(true), E(true), E(true), K, true),
}};

constexpr std::array<ModeLayout, 6> kMouse1{{
    Mouse2(EV(true), E(true), E(true), EV(true), K),
    Mouse2(EV(false), E(true), E(true), EV(true), K),
    Mouse2(EV(false), E(true), E(false), EV(false), K),
    Mouse2(E(false), E(true), E(false), E(false), K),
    Mouse2(E(true), E(true), E(true), E(true), K),
    Mouse2(E(true), E(true), E(true), E(true), K, true),
}};

constexpr ModeLayout Pad(bool d, bool c, bool cy, Tri s, bool same, bool from_end = false) {
  return {E(d), E(c), E(cy), {s, K}, K, same ? Y : N, from_end};
}

constexpr std::array<ModeLayout, 10> kPad{{
    Pad(true, true, true, Y, true),    Pad(false, false, false, Y, true), Pad(false, true, true, Y, true),
    Pad(false, true, false, N, true),  Pad(true, true, true, Y, false),   Pad(true, true, true, Y, false, true),
    Pad(true, false, false, Y, false), Pad(false, true, true, Y, false),  Pad(false, true, true, N, false),
    Pad(false, true, true, K, false),
}};

constexpr const char* kFxL = "Deng_FXL_text";
constexpr const char* kFxR = "Deng_FXR_text";

constexpr ModeLayout Kb(bool d, bool c, bool cy, bool s, const char* l = kFxL, const char* r = kFxR,
                        bool reset = false) {
  return {E(d), E(c), E(cy), E(s), K, N, false, l, r, false, reset};
}

constexpr ModeLayout kKbCustom{E(false), E(true), E(true), E(false), K, N, false, nullptr, nullptr, true, false};

constexpr std::array<ModeLayout, 16> kKeyboard{{
    Kb(true, true, true, true),                                   // 0
    Kb(false, false, false, true),                                // 1
    Kb(false, true, true, true),                                  // 2
    Kb(false, true, false, false),                                // 3
    Kb(false, false, false, true, kFxL, kFxR, true),              // 4
    Kb(false, true, true, true, kFxL, kFxR, true),                // 5
    Kb(false, true, true, true),                                  // 6
    Kb(true, true, true, true),                                   // 7
    kKbCustom,                                                    // 8
    Kb(false, true, true, true),                                  // 9
    Kb(true, false, false, true, "Deng_FXU_text", "Deng_FXD_text"),  // 10
    Kb(false, true, true, true, kFxL, kFxR, true),                // 11
    Kb(false, true, true, true),                                  // 12
    Kb(true, false, false, true, "Deng_FXJ_text", "Deng_FXK_text"),  // 13
    Kb(true, true, true, true),                                   // 14
    Kb(false, true, true, true, kFxL, kFxR, true),                // 15
}};

// The single-colour effects: direction where the light moves along a line,
// speed everywhere but the steady light.
constexpr std::array<ModeLayout, 11> kKeyboardOneColour{{
    Kb(true, false, false, true),                                     // 0 wave across the columns
    Kb(false, false, false, true),                                    // 1 breathing
    Kb(false, false, false, false),                                   // 2 steady
    Kb(false, false, false, true),                                    // 3 reactive
    Kb(true, false, false, true, "Deng_FXJ_text", "Deng_FXK_text"),  // 4 ripple
    Kb(false, false, false, true),                                    // 5 twinkle
    Kb(true, false, false, true, "Deng_FXU_text", "Deng_FXD_text"),  // 6 row bands
    Kb(false, false, false, true),                                    // 7 snake
    Kb(false, false, false, true),                                    // 8 sparkle
    Kb(false, false, false, true),                                    // 9 flashes
    Kb(true, false, false, true),                                     // 10 sweeping bar
}};

}  // namespace

std::span<const ModeLayout> MouseModeLayouts(int variant) {
  switch (variant) {
    case 0: return kMouse0;
    case 1: return kMouse1;
    default: break;
  }
  return kMouse2;
}
std::span<const ModeLayout> PadModeLayouts() { return kPad; }
std::span<const ModeLayout> KeyboardModeLayouts() { return kKeyboard; }
std::span<const ModeLayout> KeyboardOneColourModeLayouts() { return kKeyboardOneColour; }

const ModeLayout* LayoutOf(std::span<const ModeLayout> table, int mode) {
  if (mode < 0 || static_cast<size_t>(mode) >= table.size()) return nullptr;
  return &table[static_cast<size_t>(mode)];
}

}  // namespace trx::pages
