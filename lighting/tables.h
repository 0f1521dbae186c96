#pragma once
// Constant tables of the lighting preview engine: opacity by brightness,
// the colour wheel, the breathing / wave / flash curves, the keyboard LED
// matrix and key paths, the mouse LED groups, the three-colour sets and the
// cycle periods. Pure data, any thread.

#include <array>
#include <cstdint>

namespace trx::lighting {

// Preview slots: 0-19 mouse LEDs, 20-34 pad LEDs, 35-160 keyboard keys
// (35 + key LED number).
inline constexpr int kMouseFirstSlot = 0;
inline constexpr int kMouseSlots = 20;
inline constexpr int kPadFirstSlot = 20;
inline constexpr int kPadSlots = 15;
inline constexpr int kKeyboardFirstSlot = 35;
inline constexpr int kKeyboardSlots = 126;
inline constexpr int kSlotCount = 161;

// The single-colour keyboard's one light colour (0xRRGGBB): every effect of
// that keyboard varies only how bright its keys are.
inline constexpr uint32_t kSingleColourTint = 0xF6FF00;

// A colour as the three stored colour bytes (b0, b1, b2).
struct Rgb {
  uint8_t b0 = 0, b1 = 0, b2 = 0;
  constexpr bool operator==(const Rgb&) const = default;
};

inline constexpr int kWheelSize = 192;
// 192 wheel colours followed by a copy of the first 32, so that an index
// slightly past 191 still reads a valid colour.
extern const std::array<Rgb, kWheelSize + 32> kWheel;
// Wheel colour at any non-negative index, wrapping within the 192 entries.
inline const Rgb& WheelAt(int index) { return kWheel[static_cast<unsigned>(index) % kWheelSize]; }

extern const std::array<uint8_t, 128> kBreathCurve;
extern const std::array<uint8_t, 96> kWaveCurve;
extern const std::array<uint8_t, 192> kFlashCurve;

// Opacity for a brightness level: levels 0-14 (and, by choice, above) 255.
uint8_t BrightnessOpacity(uint8_t level);
// a x b >> 8: two 0-255 factors combined into one opacity.
inline uint8_t Scale(uint8_t a, uint8_t b) { return static_cast<uint8_t>((a * b) >> 8); }

inline constexpr int kMatrixColumns = 23;
inline constexpr int kMatrixRows = 6;
inline constexpr uint8_t kNoKey = 126;
// Key LED numbers, [column][row], rows top to bottom.
extern const std::array<std::array<uint8_t, kMatrixRows>, kMatrixColumns> kKeyMatrix;

// 7 mouse LED groups of 3 preview slots (group 2 names slot 9 twice).
extern const std::array<std::array<uint8_t, 3>, 7> kMouseGroups;
// Three sets of 7 colours, one colour per mouse LED group.
extern const std::array<std::array<Rgb, 7>, 3> kThreeColourSets;

// The 104-key snake path (keyboard mode 7, twinkle and reactive walks).
extern const std::array<uint8_t, 104> kSnakePath;
// The 106-entry path of the snake's head (mode 12); kNoKey marks a gap.
extern const std::array<uint8_t, 106> kSnakeHeadPath;
// Fixed shuffled permutation of 0-103: indices into kSnakePath.
extern const std::array<uint8_t, 104> kTwinkleOrder;
// Ring (0-11) of each key LED around key 51; kNoKey for LED numbers that
// are no key. Ring 0 is key 51 alone.
inline constexpr int kRippleRingCount = 12;
extern const std::array<uint8_t, 127> kRippleRing;
// Matrix column / row of each key LED (kNoKey when not in the matrix).
extern const std::array<uint8_t, 127> kKeyColumn;
extern const std::array<uint8_t, 127> kKeyRow;

// Keyboard mode 11 colours, indexed by an 8-bit counter.
extern const std::array<Rgb, 256> kFlashColours;

// The pad's 7 columns of its U-shaped LED strip (-1 pads).
extern const std::array<std::array<int8_t, 5>, 7> kPadColumns;

enum class Family { Mouse, Pad, Keyboard };
// Cycle period in milliseconds for a mode and speed (0-14); the pad's and
// keyboard's tables (the mouse cycles every 20 ms).
int PeriodMs(Family family, int mode, int speed);

}  // namespace trx::lighting
