#pragma once
// What the OpenRGB SDK server shows of our three devices, and what a
// client's request does to their lighting bytes (settings/lighting_bytes.h).
//
// One controller per connected device:
//
//   device    type       modes                     zones (LEDs)
//   keyboard  Keyboard   the mode list of its      "Keyboard": matrix 6 x 21, one
//                        variant: 16, or the 11    LED per key of the layout variant,
//                        of the single-colour one  named "Key: " + the picture's caption
//   mouse     Mouse      the 7 of the mode list    "Mouse": 7 LEDs, the light groups
//   pad       Mousemat   the 10 of the mode list   "Mouse pad edge": 15 LEDs
//
// Every mode carries the device's shared bytes: brightness 0-14 (byte 2),
// speed 0-14 (the speed slider, 14 - byte 3), direction (byte 4: 1 left or
// up, 0 right or down), the colour (bytes 6-8) and, where the mode offers
// the colour cycle, the "random" colour mode for byte 5 = 1. Which of them
// a mode has comes from the pages' mode layouts (pages/lighting_modes.h).
// The full-colour keyboard's custom-colour mode (8) is its per-LED mode.
//
// Per-LED colours. The devices take no per-LED colours over the protocol.
// An LED update therefore becomes: all LEDs equal: the Static mode in that
// colour; otherwise the keyboard's custom-colour mode with each key's colour
// in its active colour set (light profile and preview), and for the mouse
// and the pad the Static mode in the average colour.
//
// The single-colour keyboard (layout variant 1) lights its keys in one fixed
// colour: none of its modes offers a colour or per-LED colours, its LEDs
// read as that colour, and an LED update or the custom mode gives its
// "Steady" mode (2) with the colour bytes left as they are.
//
// Pure functions; any thread.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "device/device_channel.h"
#include "openrgb/sdk_codec.h"
#include "settings/device_records.h"
#include "settings/lighting_bytes.h"

namespace trx::openrgb {

inline constexpr int kKeyLights = 126;

// What the description of one device is made from.
struct DeviceState {
  DeviceKind kind = DeviceKind::Mouse;
  LightingBytes lighting;
  std::array<uint32_t, kKeyLights> key_colours{};  // keyboard: 0xRRGGBB of the active colour set
  // The keyboard's variant as the image holds it: from the product id the
  // keyboard answered with at its connect.
  KeyboardVariant variant = KeyboardVariant::Full;
  std::string location;  // the device's interface path
};

// A change for one device: the lighting bytes and, for the keyboard's
// custom colours, every key's colour (0xRRGGBB).
struct LightingChange {
  LightingBytes bytes;
  std::optional<std::array<uint32_t, kKeyLights>> key_colours;
  bool operator==(const LightingChange&) const = default;
};

ControllerDescription DescribeController(const DeviceState& state);
// The number of LEDs of the device's controller.
size_t LedCount(const DeviceState& state);

// UPDATEMODE / SAVEMODE: nothing for a mode index the device lacks.
// `version`: the agreed protocol version (below 3 the request carries no
// brightness, which then stays).
std::optional<LightingChange> ApplyModeUpdate(const DeviceState& state, uint32_t mode_index,
                                              const ModeDescription& mode, uint32_t version);
// SETCUSTOMMODE: the full-colour keyboard's custom-colour mode, the others'
// Static (or Steady) mode.
LightingChange ApplyCustomMode(const DeviceState& state);
// The LED colours (0x00BBGGRR, one per LED of the controller) shown as the
// policy above says.
LightingChange ApplyLedColours(const DeviceState& state, std::span<const uint32_t> colours);

}  // namespace trx::openrgb
