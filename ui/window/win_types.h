#pragma once
// The Win32-shaped scalar types the window layer speaks: window handles,
// message parameters and results. Handles are opaque numbers issued by the
// window registry (window_registry.h); they are never dereferenced, stay
// unique for the whole run and are simply invalid once their window is gone.

#include <cstdint>

#include "ui/core/ui_types.h"  // HWND, UINT, WPARAM, LPARAM, LRESULT

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

namespace trx::ui {

using DWORD = std::uint32_t;
using UINT_PTR = std::uintptr_t;
using BOOL = int;

// Low and high 16-bit halves of a message parameter (as LOWORD/HIWORD).
constexpr unsigned LoWord(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFFu); }
constexpr unsigned HiWord(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFFu); }
// Packs two 16-bit values the way WM_SIZE and mouse messages carry them.
constexpr LPARAM MakeLParam(int lo, int hi) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(hi & 0xFFFF) << 16) |
                             static_cast<std::uint32_t>(lo & 0xFFFF));
}

}  // namespace trx::ui
