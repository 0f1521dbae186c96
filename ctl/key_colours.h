#pragma once
// trx770ctl light key-colours: the keyboard's custom per-key colours from a
// small text file, stored in the per-key colour block of the keyboard's
// selected light profile (where the lighting page keeps them; the keyboard
// itself takes no per-key colours over the protocol). The window picks
// them up when the keyboard next connects.
//
// File: one "KEY RRGGBB" pair per line ("#" starts a comment line; blank
// lines are skipped). KEY is the key's caption on the keyboard picture
// ("Esc", "F1", "Q", "LShift", "Num7", "Space", "Up" ...), compared without
// regard to ASCII case, or "key" + its light number 0-125 ("key16").
//
// Main thread of the tool.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_operations.h"

namespace trx::ctl {

inline constexpr int kKeyLightCount = 126;

// The light number of a key name, or nothing.
std::optional<int> KeyLightOfName(std::string_view name);

struct KeyColour {
  int key = 0;
  uint8_t rgb[3] = {};
};

// Parses the file's text. False with every bad line named in `error`
// ("line 3: unknown key 'Foo'; line 7: colour 'zz' is not RRGGBB").
bool ParseKeyColours(std::string_view text, std::vector<KeyColour>& out, std::string& error);

// Writes the colours into the keyboard's selected light profile: Ok when
// saved; FileMissing or FileBad when that profile can't be read (error names
// it); WriteFailed when it can't be written.
ProfileOpResult StoreKeyColours(const std::vector<KeyColour>& colours, std::string& error);

}  // namespace trx::ctl
