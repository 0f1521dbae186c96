#pragma once
// CTrayIcon: the program's icon in the desktop's notification area. Clicks
// on it reach the window as the notification message given at creation
// (default UIMSG_TRAYICON, 0x0401): wParam is the icon id, lParam the mouse
// message (WM_LBUTTONUP for a left click, WM_RBUTTONUP for a context
// click). Headless, the icon is state only; OnIconMouse() is how the
// backend (and tests) report a click.
//
// Icon resources are numbers (107 is the program icon); RegisterIconFile
// maps a number to an image file, resolved against the resource path.
//
// UI thread only.

#include <memory>
#include <string>

#include "ui/window/messages.h"
#include "ui/window/window_backend.h"

namespace trx::ui {

class CTrayIcon {
 public:
  CTrayIcon();
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // Shows the icon for hwnd. A second call replaces the first icon.
  void CreateTrayIcon(HWND hwnd, UINT icon_id, const char* tooltip, UINT message = UIMSG_TRAYICON);
  // Removes the icon; safe to call when there is none.
  void DeleteTrayIcon();
  bool IsCreated() const { return hwnd_ != nullptr; }
  // True when a window backend is installed but the desktop has no tray to
  // show the icon in (plain GNOME): the program is then only reachable by
  // starting it again.
  // The icon appears by itself when a tray starts later; this then turns
  // false.
  bool NoSystemTray() const;
  // A desktop notification from the program (title, one line of text);
  // false when the desktop showed none (no backend, no notification
  // service), so the caller can tell the user another way.
  bool ShowNotification(std::string_view title, std::string_view text);
  void SetTooltipText(const char* tooltip);
  const std::string& GetTooltipText() const { return tooltip_; }
  UINT GetMessage() const { return message_; }
  HWND GetHWND() const { return hwnd_; }

  // A mouse message happened on the icon: posts the notification message
  // to the window. Ignored when the icon is not shown.
  void OnIconMouse(UINT mouse_message);

  // Image file for an icon number (relative to the resource path or absolute).
  static void RegisterIconFile(UINT icon_id, std::string_view file);
  static std::string IconFile(UINT icon_id);

 private:
  HWND hwnd_ = nullptr;
  UINT icon_id_ = 0;
  UINT message_ = UIMSG_TRAYICON;
  std::string tooltip_;
  std::unique_ptr<INativeTrayIcon> native_;
  bool no_system_tray_ = false;
};

}  // namespace trx::ui
