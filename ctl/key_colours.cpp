#include "ctl/key_colours.h"

#include <charconv>
#include <sstream>

#include "lighting/key_leds.h"
#include "profile/profile_families.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"
#include "settings/key_colour_sets.h"

namespace trx::ctl {

namespace {

struct Alias {
  const char* name;
  const char* caption;
};
constexpr Alias kAliases[] = {{"Up", "↑"},       {"Down", "↓"},      {"Left", "←"},     {"Right", "→"},
                              {"Menu", "☰"},     {"Backspace", "Bksp"}, {"Escape", "Esc"}, {"Insert", "Ins"},
                              {"Home", "Hm"},    {"PageUp", "PU"},   {"PageDown", "PD"}, {"Delete", "Del"},
                              {"CapsLock", "Caps"}, {"NumLock", "NL"}, {"Print", "Prt"}, {"ScrollLock", "Scr"},
                              {"Pause", "Pau"}};

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::optional<int> KeyLightOfName(std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (const Alias& a : kAliases)
    if (SameAscii(name, a.name)) name = a.caption;
  for (int i = 0; i < kKeyLightCount; ++i)
    if (*lighting::KeyLedCaption(i) != '\0' && SameAscii(name, lighting::KeyLedCaption(i))) return i;
  if (name.size() > 3 && SameAscii(name.substr(0, 3), "key")) {
    int n = -1;
    const auto [end, ec] = std::from_chars(name.data() + 3, name.data() + name.size(), n);
    if (ec == std::errc() && end == name.data() + name.size() && n >= 0 && n < kKeyLightCount) return n;
  }
  return std::nullopt;
}

bool ParseKeyColours(std::string_view text, std::vector<KeyColour>& out, std::string& error) {
  std::istringstream lines{std::string(text)};
  std::string line;
  int number = 0;
  error.clear();
  auto fail = [&](const std::string& what) { error += (error.empty() ? "" : "; ") + ("line " + std::to_string(number) + ": " + what); };
  while (std::getline(lines, line)) {
    ++number;
    std::istringstream words(line);
    std::string key, colour, extra;
    if (!(words >> key) || key[0] == '#') continue;
    words >> colour >> extra;
    const auto light = KeyLightOfName(key);
    if (!light) {
      fail("unknown key '" + key + "'");
      continue;
    }
    const std::string hex = !colour.empty() && colour[0] == '#' ? colour.substr(1) : colour;
    unsigned rgb = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), rgb, 16);
    if (hex.size() != 6 || ec != std::errc() || end != hex.data() + hex.size() || !extra.empty()) {
      fail("colour '" + colour + "' is not RRGGBB");
      continue;
    }
    out.push_back({*light, {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)}});
  }
  return error.empty();
}

ProfileOpResult StoreKeyColours(const std::vector<KeyColour>& colours, std::string& error) {
  const ProfileFamilyInfo* info = FindFamily(DeviceKind::Keyboard, ProfileFamily::Light);
  const int index = info != nullptr ? SelectedProfileIndex(*info) : 0;
  if (const ProfileReadResult read = LoadProfile(DeviceKind::Keyboard, ProfileFamily::Light, index);
      read != kProfileReadOk) {
    error = "the keyboard's selected light profile '" + (info ? ProfileNameAt(*info, index) : std::string("?")) +
            "' could not be read (start trx770 once with the keyboard connected)";
    return read == kProfileBadMagic ? ProfileOpResult::FileBad : ProfileOpResult::FileMissing;
  }
  WithImage([&colours](ConfigImages& images) {
    // Into the colour set the profile has chosen (the one the page shows).
    KeyboardImage& kb = images.keyboard;
    const int set = ActiveKeyColourSet(kb);
    for (const KeyColour& c : colours)
      SetKeyColour(kb, set, c.key, uint32_t{c.rgb[0]} << 16 | uint32_t{c.rgb[1]} << 8 | c.rgb[2]);
  });
  if (SaveCurrentProfile(DeviceKind::Keyboard, ProfileFamily::Light) != ProfileSaveResult::Saved) {
    error = "the keyboard's light profile could not be written";
    return ProfileOpResult::WriteFailed;
  }
  return ProfileOpResult::Ok;
}

}  // namespace trx::ctl
