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
