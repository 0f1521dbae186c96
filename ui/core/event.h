#pragma once
// Input events delivered to controls (TEventUI) and the key codes the
// backend translates its keys into. The paint manager builds these from the
// input entry points (CPaintManagerUI::OnMouseMove ...) and hands them to
// the control under the pointer, the captured control or the focused one.

#include <cstdint>

#include "ui/core/ui_types.h"

namespace trx::ui {

class CControlUI;

enum EventType {
  UIEVENT_MOUSEMOVE = 1,
  UIEVENT_MOUSELEAVE,
  UIEVENT_MOUSEENTER,
  UIEVENT_BUTTONDOWN,
  UIEVENT_BUTTONUP,
  UIEVENT_RBUTTONDOWN,
  UIEVENT_RBUTTONUP,
  UIEVENT_DBLCLICK,
  UIEVENT_SCROLLWHEEL,
  UIEVENT_KEYDOWN,
  UIEVENT_KEYUP,
  UIEVENT_CHAR,
  UIEVENT_SETFOCUS,
  UIEVENT_KILLFOCUS,
};

// Key codes (the virtual-key numbers the layouts' behaviour was written
// for). The backend maps its own keys to these; printable text arrives
// separately as UIEVENT_CHAR with a Unicode code point.
enum KeyCode : std::uint32_t {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_DELETE = 0x2E,
};

// Modifier state bits in TEventUI::wKeyState.
enum KeyState : std::uint16_t {
  MK_LBUTTON = 0x0001,
  MK_RBUTTON = 0x0002,
  MK_SHIFT = 0x0004,
  MK_CONTROL = 0x0008,
};

struct TEventUI {
  int Type = 0;
  CControlUI* pSender = nullptr;
  std::uint64_t dwTimestamp = 0;  // ms, from the manager's clock
  UiPoint ptMouse{};              // window client coordinates
  std::uint32_t chKey = 0;        // key code (KEYDOWN/KEYUP) or code point (CHAR)
  std::uint16_t wKeyState = 0;    // KeyState bits
  WPARAM wParam = 0;              // SCROLLWHEEL: 0 = up, 1 = down
  LPARAM lParam = 0;
};

}  // namespace trx::ui
