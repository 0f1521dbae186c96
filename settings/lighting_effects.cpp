#include "settings/lighting_effects.h"

#include <array>
#include <span>

namespace trx {
namespace {

using E = LightEffect;

// Effect of each mode number, by device.
constexpr std::array kMouseModes{E::SpectrumCycle, E::None, E::Reactive, E::Breathing, E::Static, E::Rotating, E::Reactive};
constexpr std::array kPadModes{E::Wave,     E::SpectrumCycle, E::Breathing, E::Static, E::None,
                               E::Rotating, E::None,          E::Sparkle,   E::None,   E::None};
constexpr std::array kKeyboardModes{E::Wave, E::SpectrumCycle, E::Breathing, E::Static, E::None, E::Reactive,
                                    E::None, E::None,          E::None,      E::Sparkle, E::None, E::None,
                                    E::None, E::None,          E::None,      E::Reactive};
constexpr std::array kOneColourKeyboardModes{E::Wave,    E::Breathing, E::Static, E::Reactive, E::None, E::Sparkle,
                                             E::None,    E::None,      E::None,   E::None,     E::None};

std::span<const LightEffect> ModesOf(DeviceKind kind, KeyboardVariant keyboard) {
  switch (kind) {
    case DeviceKind::Mouse: return kMouseModes;
    case DeviceKind::MousePad: return kPadModes;
    case DeviceKind::Keyboard:
      if (keyboard == KeyboardVariant::V15) return kOneColourKeyboardModes;
      return kKeyboardModes;
  }
  return {};
}

}  // namespace

LightEffect EffectOfMode(DeviceKind kind, uint8_t mode, KeyboardVariant keyboard) {
  const std::span<const LightEffect> modes = ModesOf(kind, keyboard);
  return mode < modes.size() ? modes[mode] : LightEffect::None;
}

std::optional<uint8_t> EqualMode(DeviceKind from, uint8_t mode, DeviceKind to, KeyboardVariant keyboard) {
  const LightEffect effect = EffectOfMode(from, mode, keyboard);
  if (effect == LightEffect::None) return std::nullopt;
  const std::span<const LightEffect> modes = ModesOf(to, keyboard);
  for (size_t m = 0; m < modes.size(); ++m)
    if (modes[m] == effect) return static_cast<uint8_t>(m);
  return std::nullopt;
}

}  // namespace trx
