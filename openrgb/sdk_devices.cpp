#include "openrgb/sdk_devices.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "lighting/key_leds.h"
#include "lighting/tables.h"
#include "pages/keyboard_layouts.h"
#include "pages/lighting_modes.h"

namespace trx::openrgb {

namespace {

using pages::ModeLayout;
using pages::Tri;

// The English texts of the pages' mode lists.
constexpr const char* kMouseModes[] = {"Spectrum cycle", "Three-colour breathing", "Reactive flash", "Breathing",
                                       "Static", "Rolling", "Reactive wave"};
constexpr const char* kPadModes[] = {"Wave", "Spectrum cycle", "Breathing", "Static", "Filling bar",
                                     "Rotating", "Column wave", "Sparkle", "Flicker", "Follow the device"};
constexpr const char* kKeyboardModes[] = {"Wave", "Spectrum cycle", "Breathing", "Static", "Per-key spectrum",
                                          "Reactive fade", "Light show", "Snake wave", "Custom colours", "Twinkle",
                                          "Row bands", "Flashes", "Snake", "Ripple", "Pattern", "Reactive trail"};
constexpr const char* kOneColourKeyboardModes[] = {"Wave",      "Breathing", "Steady", "Reactive", "Ripple", "Twinkle",
                                                   "Row bands", "Snake",     "Sparkle", "Flashes", "Sweep"};
constexpr uint8_t kMouseStatic = 4;
constexpr uint8_t kPadStatic = 3;
constexpr uint8_t kKeyboardStatic = 3;
constexpr uint8_t kOneColourKeyboardSteady = 2;
constexpr std::string_view kUpDownLabel = "Deng_FXU_text";  // the direction reads up / down
constexpr int kMouseLeds = 7;
constexpr int kKeyRows = 6;
constexpr int kKeyColumns = 21;

// The single-colour keyboard lights every key in its one colour: no colour
// choice, no per-key colours.
bool OneColour(const DeviceState& state) {
  return state.kind == DeviceKind::Keyboard && state.variant == KeyboardVariant::V15;
}

std::span<const char* const> ModeNames(const DeviceState& state) {
  switch (state.kind) {
    case DeviceKind::Keyboard:
      if (OneColour(state)) return kOneColourKeyboardModes;
      return kKeyboardModes;
    case DeviceKind::MousePad: return kPadModes;
    case DeviceKind::Mouse: break;
  }
  return kMouseModes;
}

std::span<const ModeLayout> Layouts(const DeviceState& state) {
  switch (state.kind) {
    case DeviceKind::Keyboard:
      if (OneColour(state)) return pages::KeyboardOneColourModeLayouts();
      return pages::KeyboardModeLayouts();
    case DeviceKind::MousePad: return pages::PadModeLayouts();
    case DeviceKind::Mouse: break;
  }
  return pages::MouseModeLayouts(pages::kMouseRefreshVariant);
}

// The steady one-colour mode: what LED colours and the custom mode become
// where the device has no per-LED colours.
uint8_t StaticMode(const DeviceState& state) {
  switch (state.kind) {
    case DeviceKind::Keyboard: return OneColour(state) ? kOneColourKeyboardSteady : kKeyboardStatic;
    case DeviceKind::MousePad: return kPadStatic;
    case DeviceKind::Mouse: break;
  }
  return kMouseStatic;
}

bool On(const pages::LayoutSwitch& s) { return s.enabled == Tri::On; }

uint32_t FlagsOf(const ModeLayout& layout) {
  uint32_t flags = kModeHasBrightness;
  if (On(layout.speed)) flags |= kModeHasSpeed;
  if (layout.custom_colours) return flags | kModeHasPerLedColor;
  if (On(layout.direction))
    flags |= layout.fx_left != nullptr && layout.fx_left == kUpDownLabel ? kModeHasDirectionUD : kModeHasDirectionLR;
  if (On(layout.colour)) flags |= kModeHasModeSpecificColor;
  if (On(layout.cycle)) flags |= kModeHasRandomColor;
  return flags;
}

uint32_t ToSdk(uint32_t rgb) { return Colour(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)); }
uint32_t FromSdk(uint32_t c) { return uint32_t{Red(c)} << 16 | uint32_t{Green(c)} << 8 | Blue(c); }

uint32_t Clamp14(uint32_t v) { return std::min<uint32_t>(v, kLightSliderMax); }

// The keyboard's key lights in light-number order: those of its variant.
std::vector<int> KeyLights(KeyboardVariant variant) {
  std::vector<int> lights;
  for (int i = 0; i < kKeyLights; ++i)
    if (pages::KeyboardLayoutHasLight(variant, i)) lights.push_back(i);
  return lights;
}

}  // namespace

size_t LedCount(const DeviceState& state) {
  switch (state.kind) {
    case DeviceKind::Keyboard: return KeyLights(state.variant).size();
    case DeviceKind::MousePad: return lighting::kPadSlots;
    case DeviceKind::Mouse: break;
  }
  return kMouseLeds;
}

ControllerDescription DescribeController(const DeviceState& state) {
  ControllerDescription c;
  const LightingBytes& b = state.lighting;
  c.vendor = "TRX770";
  c.version = "";
  c.location = state.location;
  c.serial = state.location;
  switch (state.kind) {
    case DeviceKind::Keyboard:
      c.type = ControllerType::Keyboard;
      c.name = "TRX770 Keyboard";
      break;
    case DeviceKind::MousePad:
      c.type = ControllerType::Mousemat;
      c.name = "TRX770 Mouse Pad";
      break;
    case DeviceKind::Mouse:
      c.type = ControllerType::Mouse;
      c.name = "TRX770 Mouse";
      break;
  }
  c.description = c.name + " (served by trx770)";
  const auto names = ModeNames(state);
  const auto layouts = Layouts(state);
  const uint32_t sdk_colour = Colour(b.red, b.green, b.blue);
  for (size_t i = 0; i < names.size() && i < layouts.size(); ++i) {
    ModeDescription m;
    m.name = names[i];
    m.value = static_cast<int32_t>(i);
    m.flags = FlagsOf(layouts[i]);
    m.brightness_min = 0;
    m.brightness_max = kLightSliderMax;
    m.brightness = Clamp14(b.brightness);
    if (m.flags & kModeHasSpeed) {
      m.speed_min = 0;
      m.speed_max = kLightSliderMax;
      m.speed = static_cast<uint32_t>(LightingBytes::SliderFromSpeed(b.speed));
    }
    if (m.flags & kModeHasDirectionUD) m.direction = static_cast<uint32_t>(b.direction == 1 ? Direction::Up : Direction::Down);
    else if (m.flags & kModeHasDirectionLR) m.direction = static_cast<uint32_t>(b.direction == 1 ? Direction::Left : Direction::Right);
    if (m.flags & kModeHasPerLedColor) {
      m.colour_mode = static_cast<uint32_t>(ColourMode::PerLed);
    } else if (m.flags & kModeHasModeSpecificColor) {
      m.colours_min = m.colours_max = 1;
      m.colours = {sdk_colour};
      m.colour_mode = static_cast<uint32_t>((m.flags & kModeHasRandomColor) && b.colour_cycle != 0 ? ColourMode::Random
                                                                                                     : ColourMode::ModeSpecific);
    }
    c.modes.push_back(std::move(m));
  }
  c.active_mode = b.mode < c.modes.size() ? b.mode : 0;

  ZoneDescription zone;
  switch (state.kind) {
    case DeviceKind::Keyboard: {
      const std::vector<int> lights = KeyLights(state.variant);
      zone.name = "Keyboard";
      zone.type = ZoneType::Matrix;
      // Light numbers are row x 21 + column on the keyboard's picture.
      zone.matrix_height = kKeyRows;
      zone.matrix_width = kKeyColumns;
      for (int light = 0; light < kKeyRows * kKeyColumns; ++light) {
        const auto at = std::find(lights.begin(), lights.end(), light);
        zone.matrix.push_back(at == lights.end() ? kNoLed : static_cast<uint32_t>(at - lights.begin()));
      }
      const bool one_colour = OneColour(state);
      const bool custom = !one_colour && b.mode == pages::kKeyboardCustomMode;
      for (int light : lights) {
        c.leds.push_back(std::string("Key: ") + lighting::KeyLedCaption(light));
        c.colours.push_back(one_colour ? ToSdk(lighting::kSingleColourTint)
                            : custom   ? ToSdk(state.key_colours[static_cast<size_t>(light)])
                                       : sdk_colour);
      }
      break;
    }
    case DeviceKind::MousePad:
      zone.name = "Mouse pad edge";
      for (int i = 0; i < lighting::kPadSlots; ++i) c.leds.push_back("LED " + std::to_string(i + 1));
      break;
    case DeviceKind::Mouse:
      zone.name = "Mouse";
      for (int i = 0; i < kMouseLeds; ++i) c.leds.push_back("Light group " + std::to_string(i + 1));
      break;
  }
  zone.led_count = static_cast<uint32_t>(c.leds.size());
  c.zones.push_back(std::move(zone));
  c.colours.resize(c.leds.size(), sdk_colour);
  return c;
}

std::optional<LightingChange> ApplyModeUpdate(const DeviceState& state, uint32_t mode_index,
                                              const ModeDescription& mode, uint32_t version) {
  const auto layouts = Layouts(state);
  if (mode_index >= layouts.size()) return std::nullopt;
  const uint32_t flags = FlagsOf(layouts[mode_index]);
  LightingChange change{state.lighting, std::nullopt};
  LightingBytes& b = change.bytes;
  b.mode = static_cast<uint8_t>(mode_index);
  if (version >= 3) b.brightness = static_cast<uint8_t>(Clamp14(mode.brightness));
  if (flags & kModeHasSpeed) b.speed = LightingBytes::SpeedFromSlider(static_cast<int>(Clamp14(mode.speed)));
  if (flags & (kModeHasDirectionLR | kModeHasDirectionUD)) {
    const auto d = static_cast<Direction>(mode.direction);
    b.direction = d == Direction::Left || d == Direction::Up ? 1 : 0;
  }
  const auto colour_mode = static_cast<ColourMode>(mode.colour_mode);
  if ((flags & kModeHasRandomColor) && colour_mode == ColourMode::Random) {
    b.colour_cycle = 1;
  } else if ((flags & kModeHasModeSpecificColor) && colour_mode == ColourMode::ModeSpecific && !mode.colours.empty()) {
    b.SetColour(FromSdk(mode.colours[0]));
    b.colour_cycle = 0;
  }
  return change;
}

LightingChange ApplyCustomMode(const DeviceState& state) {
  LightingChange change{state.lighting, std::nullopt};
  change.bytes.mode = state.kind == DeviceKind::Keyboard && !OneColour(state)
                          ? static_cast<uint8_t>(pages::kKeyboardCustomMode)
                          : StaticMode(state);
  return change;
}

LightingChange ApplyLedColours(const DeviceState& state, std::span<const uint32_t> colours) {
  LightingChange change{state.lighting, std::nullopt};
  LightingBytes& b = change.bytes;
  if (colours.empty()) return change;
  if (OneColour(state)) {  // its colour is fixed: only the steady light is taken
    b.mode = StaticMode(state);
    return change;
  }
  const bool all_equal = std::all_of(colours.begin(), colours.end(), [&](uint32_t c) { return c == colours[0]; });
  if (all_equal || state.kind != DeviceKind::Keyboard) {
    uint64_t r = 0, g = 0, bl = 0;
    for (uint32_t c : colours) {
      r += Red(c);
      g += Green(c);
      bl += Blue(c);
    }
    const uint64_t n = colours.size();
    b.mode = StaticMode(state);
    b.SetColour(static_cast<uint32_t>((r / n) << 16 | (g / n) << 8 | bl / n));
    b.colour_cycle = 0;
    return change;
  }
  const std::vector<int> lights = KeyLights(state.variant);
  std::array<uint32_t, kKeyLights> keys = state.key_colours;
  for (size_t i = 0; i < lights.size() && i < colours.size(); ++i) keys[static_cast<size_t>(lights[i])] = FromSdk(colours[i]);
  b.mode = static_cast<uint8_t>(pages::kKeyboardCustomMode);
  change.key_colours = keys;
  return change;
}

}  // namespace trx::openrgb
