#pragma once
// Basic value types of the interface library: rectangles, points, sizes,
// colours, window handles and message parameters, plus the parsers for the
// attribute value formats used in layouts.
//
// Texts everywhere in the library are UTF-8 std::string (CDuiString).
// Coordinates are device-independent pixels of the window's client area.
// Pure values and functions; callable from any thread.

#include <cstdint>
#include <string>
#include <string_view>

namespace trx::ui {

using CDuiString = std::string;

// ARGB colour, 0xAARRGGBB.
using UiColor = std::uint32_t;

// Window handle: an opaque value handed out by the window layer
// (ui/window). The core never dereferences it; it only stores and compares.
struct WindowHandleTag;
using HWND = WindowHandleTag*;

// Message parameters of the window layer.
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct UiPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const UiPoint&, const UiPoint&) = default;
};

struct UiSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const UiSize&, const UiSize&) = default;
};

// Half-open rectangle: left/top inside, right/bottom outside.
struct UiRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(UiPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // Intersection; empty (all zero) when they do not meet.
  UiRect Intersect(const UiRect& o) const;
  bool Intersects(const UiRect& o) const { return !Intersect(o).IsEmpty(); }
  UiRect Deflate(const UiRect& inset) const {
    return {left + inset.left, top + inset.top, right - inset.right, bottom - inset.bottom};
  }
  UiRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  friend bool operator==(const UiRect&, const UiRect&) = default;
};

using CDuiRect = UiRect;
using CDuiPoint = UiPoint;
using CDuiSize = UiSize;

// ---- attribute value parsers (layout formats) ----

// "#FFRRGGBB", "0xFFRRGGBB", "#RRGGBB" (opaque) or decimal. Returns false
// (and leaves *out alone) on anything else.
bool ParseColor(std::string_view text, UiColor* out);
// Geometry values (rectangles, sizes, widths) are clamped to this range so
// that layout arithmetic over any layout stays within int.
inline constexpr int kMaxCoord = 65535;

// "l,t,r,b" (missing parts are 0), each clamped to +-kMaxCoord. Returns
// false when no number is present.
bool ParseRect(std::string_view text, UiRect* out);
// "cx,cy", clamped like ParseRect.
bool ParseSize(std::string_view text, UiSize* out);
// "true"/"false" (also "1"/"0"); anything else is false.
bool ParseBool(std::string_view text);
// Decimal integer with optional sign; non-digits stop the number; clamps
// to the int range. Empty or non-numeric reads as 0.
int ParseInt(std::string_view text);
// ParseInt clamped to +-kMaxCoord (widths, heights, paddings).
int ParseCoord(std::string_view text);

}  // namespace trx::ui
