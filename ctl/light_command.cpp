#include "ctl/light_command.h"

#include <array>
#include <charconv>
#include <fstream>
#include <sstream>
#include <cstdio>
#include <optional>

#include "ctl/exit_codes.h"
#include "ctl/json_writer.h"
#include "ctl/key_colours.h"
#include "platform/file_read.h"
#include "device/commands.h"
#include "services/device_session.h"
#include "settings/device_records.h"
#include "settings/lighting_bytes.h"
#include "settings/lighting_effects.h"

namespace trx::ctl {

namespace {

// The modes' names: the English list texts, lower case, words joined by "-".
constexpr std::array<const char*, 7> kMouseModes{"spectrum-cycle", "three-colour-breathing", "reactive-flash",
                                                 "breathing", "static", "rolling", "reactive-wave"};
constexpr std::array<const char*, 10> kPadModes{"wave", "spectrum-cycle", "breathing", "static", "filling-bar",
                                                "rotating", "column-wave", "sparkle", "flicker", "follow-the-device"};
constexpr std::array<const char*, 16> kKeyboardModes{
    "wave",           "spectrum-cycle", "breathing", "static", "per-key-spectrum", "reactive-fade",
    "light-show",     "snake-wave",     "custom-colours", "twinkle", "row-bands", "flashes",
    "snake",          "ripple",         "pattern",   "reactive-trail"};

// The single-colour keyboard's own list (layout variant 1).
constexpr std::array<const char*, 11> kOneColourKeyboardModes{
    "wave", "breathing", "steady", "reactive", "ripple", "twinkle", "row-bands", "snake", "sparkle", "flashes", "sweep"};

// The keyboard's modes are those of its variant's list.
std::vector<const char*> ModesOf(DeviceKind kind, KeyboardVariant keyboard) {
  switch (kind) {
    case DeviceKind::Keyboard:
      if (keyboard == KeyboardVariant::V15) return {kOneColourKeyboardModes.begin(), kOneColourKeyboardModes.end()};
      return {kKeyboardModes.begin(), kKeyboardModes.end()};
    case DeviceKind::MousePad: return {kPadModes.begin(), kPadModes.end()};
    case DeviceKind::Mouse: break;
  }
  return {kMouseModes.begin(), kMouseModes.end()};
}

KeyboardVariant VariantOf(const CDeviceChannel& keyboard) {
  return KeyboardVariantFromProductId(keyboard.transport.attributes.product_id, KeyboardVariant::Full);
}

const char* KindWord(DeviceKind kind) { return kind == DeviceKind::MousePad ? "pad" : DeviceKindName(kind); }

std::optional<DeviceKind> ParseKind(const std::string& word) {
  if (word == "mouse") return DeviceKind::Mouse;
  if (word == "keyboard") return DeviceKind::Keyboard;
  if (word == "pad") return DeviceKind::MousePad;
  return std::nullopt;
}

std::optional<int> ParseInt(const std::string& s, int lo, int hi) {
  int v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || v < lo || v > hi) return std::nullopt;
  return v;
}

std::string ModeName(DeviceKind kind, KeyboardVariant keyboard, int mode) {
  const auto names = ModesOf(kind, keyboard);
  return mode < static_cast<int>(names.size()) ? names[static_cast<size_t>(mode)] : "mode " + std::to_string(mode);
}

CommandResult ReadBytes(CDeviceChannel& channel, LightingBytes& b) {
  uint8_t rec[9] = {};
  const CommandResult rc = ReadSettingsBytes(channel, 0, rec, sizeof rec);
  if (rc != kResultOk) return rc;
  b = {rec[1], rec[2], rec[3], rec[4], rec[5], rec[6], rec[7], rec[8]};
  return rc;
}

CommandResult WriteBytes(CDeviceChannel& channel, const LightingBytes& b) {
  const uint8_t bytes[8] = {b.mode, b.brightness, b.speed, b.direction, b.colour_cycle, b.red, b.green, b.blue};
  return WriteSettingsBytes(channel, 1, bytes, sizeof bytes);
}

void Print(DeviceKind kind, KeyboardVariant keyboard, const LightingBytes& b, bool json, std::ostream& out) {
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%02x%02x%02x", b.red, b.green, b.blue);
  if (json) {
    JsonWriter j(out);
    j.BeginObject().String("kind", KindWord(kind)).Int("mode", b.mode).String("mode_name", ModeName(kind, keyboard, b.mode));
    j.Int("brightness", b.brightness).Int("speed", LightingBytes::SliderFromSpeed(b.speed));
    j.String("direction", b.direction == 1 ? "left" : "right").Bool("colour_cycle", b.colour_cycle != 0);
    j.String("colour", colour).EndObject();
    j.Finish();
    return;
  }
  out << KindWord(kind) << ": mode " << int{b.mode} << " (" << ModeName(kind, keyboard, b.mode) << "), brightness "
      << int{b.brightness} << ", speed " << LightingBytes::SliderFromSpeed(b.speed) << ", direction "
      << (b.direction == 1 ? "left" : "right") << ", colour " << colour << (b.colour_cycle ? ", colour cycle" : "")
      << "\n";
}

// Applies the set options to `b`; false with the reason on `err`. A mode
// is a number or a name of the keyboard variant's list.
bool ApplyOptions(DeviceKind kind, KeyboardVariant keyboard, const std::vector<std::string>& words, LightingBytes& b,
                  std::ostream& err) {
  for (size_t i = 3; i < words.size(); i += 2) {
    const std::string& opt = words[i];
    if (i + 1 >= words.size()) {
      err << "trx770ctl: " << opt << " needs a value\n";
      return false;
    }
    const std::string& v = words[i + 1];
    if (opt == "--mode") {
      const auto names = ModesOf(kind, keyboard);
      std::optional<int> mode = ParseInt(v, 0, static_cast<int>(names.size()) - 1);
      for (size_t m = 0; !mode && m < names.size(); ++m)
        if (v == names[m]) mode = static_cast<int>(m);
      if (!mode) {
        err << "trx770ctl: unknown " << KindWord(kind) << " light mode '" << v << "' (0-" << names.size() - 1
            << " or a name: " << names[0] << ", ...)\n";
        return false;
      }
      b.mode = static_cast<uint8_t>(*mode);
    } else if (opt == "--brightness" || opt == "--speed") {
      const auto n = ParseInt(v, 0, kLightSliderMax);
      if (!n) {
        err << "trx770ctl: " << opt << " must be 0-14, not '" << v << "'\n";
        return false;
      }
      if (opt == "--speed") b.speed = LightingBytes::SpeedFromSlider(*n);
      else b.brightness = static_cast<uint8_t>(*n);
    } else if (opt == "--direction") {
      if (v != "left" && v != "right") {
        err << "trx770ctl: --direction must be left or right, not '" << v << "'\n";
        return false;
      }
      b.direction = v == "left" ? 1 : 0;
    } else if (opt == "--cycle") {
      if (v != "on" && v != "off") {
        err << "trx770ctl: --cycle must be on or off, not '" << v << "'\n";
        return false;
      }
      b.colour_cycle = v == "on" ? 1 : 0;
    } else if (opt == "--colour" || opt == "--color") {
      const std::string hex = !v.empty() && v[0] == '#' ? v.substr(1) : v;
      unsigned rgb = 0;
      const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), rgb, 16);
      if (hex.size() != 6 || ec != std::errc() || end != hex.data() + hex.size()) {
        err << "trx770ctl: --colour must be RRGGBB, not '" << v << "'\n";
        return false;
      }
      b.SetColour(rgb);
      b.colour_cycle = 0;
    } else {
      err << "trx770ctl: unknown light option '" << opt << "'\n";
      return false;
    }
  }
  return true;
}

ExitCode KeyColours(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  if (words.size() != 4 || words[2] != "keyboard") {
    err << "trx770ctl: usage: light key-colours keyboard FILE\n";
    return ExitCode::Usage;
  }
  // One line per key: a few kilobytes; anything far larger is no key-colour file.
  constexpr size_t kMaxKeyColourFileBytes = 256u << 10;
  std::vector<uint8_t> bytes;
  if (const FileReadResult read = ReadRegularFile(words[3], bytes, kMaxKeyColourFileBytes); read != FileReadResult::Ok) {
    err << "trx770ctl: " << DescribeFileRead(read, words[3], kMaxKeyColourFileBytes) << "\n";
    return ExitCode::FileError;
  }
  std::vector<KeyColour> colours;
  std::string error;
  if (!ParseKeyColours(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), colours, error)) {
    err << "trx770ctl: " << words[3] << ": " << error << "\n";
    return ExitCode::Refused;
  }
  if (const ProfileOpResult stored = StoreKeyColours(colours, error); stored != ProfileOpResult::Ok) {
    err << "trx770ctl: " << error << "\n";
    return ExitOf(stored);  // a profile file that can't be read or written
  }
  out << "keyboard: " << colours.size() << " key colour" << (colours.size() == 1 ? "" : "s")
      << " stored in the selected light profile\n";
  return ExitCode::Ok;
}

}  // namespace

ExitCode RunLight(const std::vector<std::string>& words, bool json, const OpenDeviceFn& open, std::ostream& out,
                  std::ostream& err) {
  const std::string sub = words.size() > 1 ? words[1] : "";
  if (sub == "key-colours") return KeyColours(words, out, err);
  if (sub != "show" && sub != "set" && sub != "copy-to-all") {
    err << "trx770ctl: usage: light show|set|copy-to-all|key-colours DEVICE [OPTIONS]\n";
    return ExitCode::Usage;
  }
  if (words.size() < 3) {
    err << "trx770ctl: light " << sub << " needs a device (mouse, keyboard or pad)\n";
    return ExitCode::Usage;
  }
  const auto kind = ParseKind(words[2]);
  if (!kind) {
    err << "trx770ctl: unknown device '" << words[2] << "' (mouse, keyboard or pad)\n";
    return ExitCode::Usage;
  }
  if (sub != "set" && words.size() > 3) {
    err << "trx770ctl: light " << sub << " takes one device\n";
    return ExitCode::Usage;
  }
  LightingBytes probe;
  // Options are checked before the device is opened; the keyboard's mode
  // names depend on its variant, so either of its lists passes here and
  // the variant's own list decides below.
  if (sub == "set") {
    std::ostringstream first_reason;
    std::ostringstream other_reason;
    if (!ApplyOptions(*kind, KeyboardVariant::Full, words, probe, first_reason) &&
        (*kind != DeviceKind::Keyboard || !ApplyOptions(*kind, KeyboardVariant::V15, words, probe, other_reason))) {
      err << first_reason.str();
      return ExitCode::Usage;
    }
  }

  ExitCode code = ExitCode::Ok;
  CDeviceChannel* channel = open(*kind, false, &code);
  if (channel == nullptr) return code;
  LightingBytes b;
  CommandResult rc = ReadBytes(*channel, b);
  if (rc != kResultOk) {
    err << "trx770ctl: reading the " << KindWord(*kind) << "'s lighting failed: " << CommandResultName(rc) << "\n";
    return ExitOf(rc);
  }
  const KeyboardVariant keyboard = *kind == DeviceKind::Keyboard ? VariantOf(*channel) : KeyboardVariant::Full;
  if (sub == "show") {
    Print(*kind, keyboard, b, json, out);
    return ExitCode::Ok;
  }
  if (sub == "set") {
    if (!ApplyOptions(*kind, keyboard, words, b, err)) return ExitCode::Usage;
    rc = WriteBytes(*channel, b);
    if (rc != kResultOk) {
      err << "trx770ctl: writing the " << KindWord(*kind) << "'s lighting failed: " << CommandResultName(rc) << "\n";
      return ExitOf(rc);
    }
    Print(*kind, keyboard, b, json, out);
    return ExitCode::Ok;
  }
  // copy-to-all: every other connected device takes bytes 1-8, the mode as
  // its own number for the same effect; one with no equal effect is left
  // as it is (and named).
  int copied = 0;
  int connected = 0;
  for (DeviceKind target : {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad}) {
    if (target == *kind) continue;
    ExitCode open_code = ExitCode::Ok;
    CDeviceChannel* other = open(target, true, &open_code);
    if (other == nullptr) {
      if (open_code != ExitCode::NoDevice) code = open_code;
      continue;
    }
    ++connected;
    const KeyboardVariant variant = target == DeviceKind::Keyboard ? VariantOf(*other) : keyboard;
    const std::optional<uint8_t> mode = EqualMode(*kind, b.mode, target, variant);
    if (!mode) {
      if (!json) out << KindWord(target) << ": left as it is (no equal lighting effect)\n";
      continue;
    }
    LightingBytes copy = b;
    copy.mode = *mode;
    rc = WriteBytes(*other, copy);
    if (rc != kResultOk) {
      err << "trx770ctl: writing the " << KindWord(target) << "'s lighting failed: " << CommandResultName(rc) << "\n";
      code = ExitCode::DeviceError;
      continue;
    }
    ++copied;
    if (!json) out << KindWord(target) << ": lighting copied from the " << KindWord(*kind) << "\n";
  }
  if (json) {
    JsonWriter j(out);
    j.BeginObject().String("from", KindWord(*kind)).Int("copied", copied).EndObject();
    j.Finish();
  }
  if (connected == 0 && code == ExitCode::Ok) {
    err << "trx770ctl: no other device is connected to copy the lighting to\n";
    return ExitCode::NoDevice;
  }
  return code;
}

}  // namespace trx::ctl
