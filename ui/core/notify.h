#pragma once
// Notifications: the record a control raises (TNotifyUI), the receiver
// interface (INotifyUI) and the type strings, defined once here.

#include <cstdint>
#include <string>

#include "ui/core/ui_types.h"

namespace trx::ui {

class CControlUI;

inline constexpr const char* kNotifyClick = "click";
inline constexpr const char* kNotifySelectChanged = "selectchanged";
inline constexpr const char* kNotifyValueChanged = "valuechanged";
inline constexpr const char* kNotifyMoveValueChanged = "movevaluechanged";
inline constexpr const char* kNotifyItemSelect = "itemselect";
inline constexpr const char* kNotifyItemClick = "itemclick";
inline constexpr const char* kNotifyItemActivate = "itemactivate";
inline constexpr const char* kNotifyKillFocus = "killfocus";
inline constexpr const char* kNotifySetFocus = "setfocus";
inline constexpr const char* kNotifyTextChanged = "textchanged";
inline constexpr const char* kNotifyWindowInit = "windowinit";
inline constexpr const char* kNotifyColorChanged = "colorchanged";
inline constexpr const char* kNotifyMouseEnter = "msenter";
inline constexpr const char* kNotifyMouseLeave = "msleave";
inline constexpr const char* kNotifyWindowSize = "windowsize";
inline constexpr const char* kNotifyDropDown = "dropdown";
inline constexpr const char* kNotifyReturn = "return";
inline constexpr const char* kNotifyMenu = "menu";
// Dragging from a control that asked for it (CControlUI::SetDragNotify):
// "dragbegin" after the left button went down on it, "dragmove" for every
// pointer move while the button is held, "dragend" after the release (after
// any "click" the release raised) or when the window loses the pointer.
// ptMouse is the pointer, lParam the press point (MakePointLParam packing),
// wParam the KeyState bits at the time. The sender is the pressed control
// throughout; the control under the pointer is the manager's
// FindControl(ptMouse).
inline constexpr const char* kNotifyDragBegin = "dragbegin";
inline constexpr const char* kNotifyDragMove = "dragmove";
inline constexpr const char* kNotifyDragEnd = "dragend";
// A key the focused control does not use itself (a list: every key but the
// arrows, Home and End); wParam = the virtual key.
inline constexpr const char* kNotifyKeyDown = "keydown";

struct TNotifyUI {
  std::string sType;
  std::string sVirtualWnd;
  CControlUI* pSender = nullptr;
  std::uint64_t dwTimestamp = 0;
  UiPoint ptMouse{};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

}  // namespace trx::ui
