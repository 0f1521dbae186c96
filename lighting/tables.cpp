#include "lighting/tables.h"

#include <cstddef>

namespace trx::lighting {

namespace {

constexpr std::array<uint8_t, 32> kRise{1,  3,  5,  7,  10, 14, 18, 22, 26, 32,  38,  44,  50,  57,  65,  73,
                                        81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<uint8_t, 32> kFall{248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
                                        69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};

constexpr std::array<Rgb, kWheelSize + 32> MakeWheel() {
  std::array<Rgb, kWheelSize + 32> w{};
  for (int i = 0; i < 32; ++i) {
    const uint8_t u = kRise[i], d = kFall[i];
    w[i] = {255, u, 0};
    w[32 + i] = {d, 255, 0};
    w[64 + i] = {0, 255, u};
    w[96 + i] = {0, d, 255};
    w[128 + i] = {u, 0, 255};
    w[160 + i] = {255, 0, d};
    w[192 + i] = w[i];
  }
  return w;
}

constexpr std::array<uint8_t, 64> kBreathRise{0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,
                                              16,  18,  20,  22,  24,  27,  30,  33,  36,  39,  42,  45,  49,
                                              53,  57,  61,  65,  69,  73,  77,  81,  85,  89,  94,  99,  104,
                                              109, 114, 119, 124, 129, 134, 140, 146, 152, 158, 164, 170, 176,
                                              182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

constexpr std::array<uint8_t, 128> MakeBreath() {
  std::array<uint8_t, 128> c{};
  for (int i = 0; i < 64; ++i) c[i] = c[127 - i] = kBreathRise[i];
  return c;
}

constexpr std::array<uint8_t, 96> MakeWave() {
  std::array<uint8_t, 96> c{};
  for (int i = 0; i < 48; ++i) c[i] = c[95 - i] = kBreathRise[16 + i];
  return c;
}

constexpr std::array<uint8_t, 17> kFlashRise{0, 4, 8, 14, 22, 33, 45, 61, 77, 94, 114, 134, 158, 182, 206, 234, 255};
constexpr std::array<uint8_t, 64> kFlashFall{248, 241, 234, 227, 220, 213, 206, 199, 192, 185, 178, 171, 164,
                                             157, 150, 143, 137, 131, 125, 119, 113, 107, 101, 95,  89,  83,
                                             77,  71,  66,  61,  56,  51,  47,  43,  39,  35,  32,  29,  26,
                                             23,  21,  19,  17,  15,  13,  11,  10,  9,   8,   7,   6,   6,
                                             5,   5,   4,   4,   3,   3,   3,   2,   2,   2,   1,   0};

constexpr std::array<uint8_t, 192> MakeFlash() {
  std::array<uint8_t, 192> c{};
  for (std::size_t i = 0; i < kFlashRise.size(); ++i) c[i] = kFlashRise[i];
  for (std::size_t i = 0; i < kFlashFall.size(); ++i) c[kFlashRise.size() + i] = kFlashFall[i];
  return c;
}

constexpr uint8_t N = kNoKey;

constexpr std::array<std::array<uint8_t, kMatrixRows>, kMatrixColumns> kMatrix{{
    {N, N, N, N, N, 105},     {N, 21, 42, 63, 84, 106}, {0, 22, 43, 64, 85, 107}, {1, 23, 44, 65, 86, N},
    {2, 24, 45, 66, 87, N},   {3, 25, 46, 67, 88, N},   {4, 26, 47, 68, 89, 108}, {N, 27, 48, 69, 90, N},
    {5, 28, 49, 70, 91, N},   {6, 29, 50, 71, 92, 109}, {7, 30, 51, 72, 93, N},   {8, 31, 52, 73, 94, 110},
    {9, 32, 53, 74, N, N},    {10, 33, 54, N, N, 111},  {11, 34, 55, 75, 95, N},  {12, N, N, N, N, 112},
    {13, 35, 56, N, N, 113},  {14, 36, 57, N, 96, 114}, {15, 37, 58, N, N, 115},  {N, 38, 59, 76, 97, 116},
    {N, 39, 60, 77, 98, N},   {N, 40, 61, 78, 99, 117}, {N, 41, N, 119, 118, N},
}};

template <std::size_t Size>
struct PathBuilder {
  std::array<uint8_t, Size> out{};
  std::size_t n = 0;
  constexpr void Range(int from, int to) {  // inclusive, either way
    const int step = from <= to ? 1 : -1;
    for (int k = from;; k += step) {
      out[n++] = static_cast<uint8_t>(k);
      if (k == to) break;
    }
  }
  constexpr void Key(int k) { out[n++] = static_cast<uint8_t>(k); }
};

constexpr std::array<uint8_t, 104> MakeSnake() {
  PathBuilder<104> p;
  p.Range(15, 0);
  for (int k : {21, 42, 63, 84, 105}) p.Key(k);
  p.Range(106, 119);
  p.Key(41);
  p.Range(40, 22);
  p.Key(43);
  p.Key(64);
  p.Range(85, 99);
  p.Key(78);
  p.Range(61, 44);
  p.Key(65);
  p.Range(66, 77);
  return p.n == 104 ? p.out : std::array<uint8_t, 104>{};
}

constexpr std::array<uint8_t, 106> MakeSnakeHead() {
  PathBuilder<106> p;
  p.Range(0, 15);
  p.Range(41, 21);
  p.Range(42, 61);
  for (int k : {119, 78, 77, 76, 75}) p.Key(k);
  p.Key(N);
  p.Range(74, 63);
  p.Key(84);
  p.Key(N);
  p.Range(85, 99);
  p.Range(118, 105);
  return p.n == 106 ? p.out : std::array<uint8_t, 106>{};
}

// Fisher-Yates with a fixed linear congruential sequence.
constexpr std::array<uint8_t, 104> MakeTwinkle() {
  std::array<uint8_t, 104> o{};
  for (int i = 0; i < 104; ++i) o[i] = static_cast<uint8_t>(i);
  uint32_t s = 0x1F2E3D4Cu;
  for (int i = 103; i > 0; --i) {
    s = s * 1664525u + 1013904223u;
    const int j = static_cast<int>((s >> 16) % static_cast<uint32_t>(i + 1));
    const uint8_t t = o[i];
    o[i] = o[j];
    o[j] = t;
  }
  return o;
}

constexpr std::array<uint8_t, 127> MakeKeyPlace(bool column) {
  std::array<uint8_t, 127> a{};
  for (auto& v : a) v = N;
  for (int c = 0; c < kMatrixColumns; ++c)
    for (int r = 0; r < kMatrixRows; ++r)
      if (kMatrix[c][r] != N) a[kMatrix[c][r]] = static_cast<uint8_t>(column ? c : r);
  return a;
}

constexpr int ISqrt(int v) {
  int r = 0;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

// Rings by distance from key 51 (column 10, row 2), one ring per key width.
constexpr std::array<uint8_t, 127> MakeRipple() {
  std::array<uint8_t, 127> a{};
  for (auto& v : a) v = N;
  for (int c = 0; c < kMatrixColumns; ++c)
    for (int r = 0; r < kMatrixRows; ++r) {
      const uint8_t k = kMatrix[c][r];
      if (k == N) continue;
      const int d = ISqrt((c - 10) * (c - 10) + (r - 2) * (r - 2));
      a[k] = static_cast<uint8_t>(d < kRippleRingCount ? d : kRippleRingCount - 1);
    }
  return a;
}

// The seven listed colours, then the wheel sampled every 37 entries.
constexpr std::array<Rgb, 256> MakeFlashColours() {
  std::array<Rgb, 256> a{};
  constexpr std::array<Rgb, 7> first{{{255, 0, 0}, {255, 96, 0}, {255, 255, 0}, {0, 255, 0},
                                      {0, 255, 255}, {0, 0, 255}, {128, 0, 255}}};
  const auto wheel = MakeWheel();
  for (int i = 0; i < 256; ++i) a[i] = i < 7 ? first[i] : wheel[(i * 37) % kWheelSize];
  return a;
}

}  // namespace

const std::array<Rgb, kWheelSize + 32> kWheel = MakeWheel();
const std::array<uint8_t, 128> kBreathCurve = MakeBreath();
const std::array<uint8_t, 96> kWaveCurve = MakeWave();
const std::array<uint8_t, 192> kFlashCurve = MakeFlash();
const std::array<std::array<uint8_t, kMatrixRows>, kMatrixColumns> kKeyMatrix = kMatrix;
const std::array<std::array<uint8_t, 3>, 7> kMouseGroups{
    {{0, 7, 19}, {1, 8, 18}, {2, 9, 9}, {3, 10, 14}, {4, 11, 15}, {5, 12, 16}, {6, 13, 17}}};
const std::array<std::array<Rgb, 7>, 3> kThreeColourSets{{
    {{{255, 255, 0}, {200, 255, 0}, {170, 255, 0}, {140, 255, 0}, {110, 255, 0}, {80, 255, 0}, {70, 255, 0}}},
    {{{0, 255, 255}, {0, 200, 255}, {0, 170, 255}, {0, 140, 255}, {0, 110, 255}, {0, 80, 255}, {0, 70, 255}}},
    {{{245, 0, 255}, {245, 0, 200}, {245, 0, 170}, {245, 0, 140}, {245, 0, 110}, {245, 0, 80}, {245, 0, 70}}},
}};
const std::array<uint8_t, 104> kSnakePath = MakeSnake();
const std::array<uint8_t, 106> kSnakeHeadPath = MakeSnakeHead();
const std::array<uint8_t, 104> kTwinkleOrder = MakeTwinkle();
const std::array<uint8_t, 127> kRippleRing = MakeRipple();
const std::array<uint8_t, 127> kKeyColumn = MakeKeyPlace(true);
const std::array<uint8_t, 127> kKeyRow = MakeKeyPlace(false);
const std::array<Rgb, 256> kFlashColours = MakeFlashColours();
const std::array<std::array<int8_t, 5>, 7> kPadColumns{
    {{0, 1, 2, 3, 4}, {5, -1, -1, -1, -1}, {6, -1, -1, -1, -1}, {7, -1, -1, -1, -1},
     {8, -1, -1, -1, -1}, {9, -1, -1, -1, -1}, {14, 13, 12, 11, 10}}};

uint8_t BrightnessOpacity(uint8_t) { return 255; }

int PeriodMs(Family family, int mode, int speed) {
  if (speed < 0) speed = 0;
  if (speed > 14) speed = 14;
  const int base = 9 + 4 * speed;
  if (family != Family::Keyboard) return family == Family::Mouse ? 20 : base;
  if (mode == 15) return speed <= 6 ? 0 : base - 28;  // 9, 13, ... 37 from speed 7
  if (speed == 0 && mode == 0) return 2;
  if (speed == 0 && (mode == 4 || mode == 7 || mode == 12)) return 3;
  if (speed == 14 && mode == 2) return 63;
  return base;
}

}  // namespace trx::lighting
