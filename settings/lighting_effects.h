#pragma once
// The lighting effects behind the three devices' mode numbers. Each device
// numbers its modes its own way (the mouse's list, the pad's list, the
// keyboard's full-colour list), so copying one device's lighting to another
// maps the mode by the effect it shows, never by its number:
//
//   effect           mouse   pad   keyboard
//   spectrum cycle     0      1       1
//   breathing          3      2       2
//   static             4      3       3
//   wave               -      0       0
//   reactive           2, 6   -       5, 15
//   rotating           5      5       -
//   sparkle            -      7       9
//
// The single-colour keyboard (layout variant 1) has a list of its own, one
// fixed colour: wave 0, breathing 1, steady 2, reactive 3, twinkle 5 (what
// the full-colour twinkle plays, so the sparkle effect); its ripple, row
// bands, snake, sparkle (flashes), flashes and sweep have no equal.
//
// The other modes (the mouse's three-colour breathing, the pad's filling
// bar, column wave, flicker and "follow the device", the keyboard's
// per-key spectrum, light show, snake wave, custom colours, row bands,
// flashes, snake, ripple and pattern) have no equal on another device.
//
// Constant data; any thread.

#include <cstdint>
#include <optional>

#include "device/device_channel.h"
#include "settings/device_records.h"

namespace trx {

enum class LightEffect {
  None,  // a mode of this device alone (or no mode of its list)
  SpectrumCycle,
  Breathing,
  Static,
  Wave,
  Reactive,
  Rotating,
  Sparkle,
};

// `keyboard`: the keyboard's layout variant, which chooses its list.
LightEffect EffectOfMode(DeviceKind kind, uint8_t mode, KeyboardVariant keyboard);

// The mode of `to` that shows what `mode` shows on `from` (where the target
// has several, the first of its list); none where `to` has no equal effect.
std::optional<uint8_t> EqualMode(DeviceKind from, uint8_t mode, DeviceKind to, KeyboardVariant keyboard);

}  // namespace trx
