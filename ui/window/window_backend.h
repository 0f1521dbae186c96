#pragma once
// The seam between library windows and a GUI toolkit. Without a backend
// (tests, headless use) windows are pure state: size, position, visibility.
// A backend installed by the program's main (the Qt one in ui/qt) gives each
// window a native counterpart that mirrors that state and shows the
// window's control tree.
//
// Thread safety: everything here is UI-thread only.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/ui_types.h"
#include "ui/window/win_types.h"

namespace trx::ui {

class CPaintManagerUI;
class CWindowWnd;
class IPaintHost;

// The native counterpart of one library window. The library window owns it
// and tells it every state change; the native side reports user actions
// back as window messages (WM_CLOSE, WM_SIZE, mouse input ...).
class INativeWindow {
 public:
  virtual ~INativeWindow() = default;
  virtual void SetVisible(bool visible, bool activate) = 0;
  // Outer rectangle in screen coordinates.
  virtual void SetGeometry(const UiRect& rc) = 0;
  virtual void SetTopMost(bool top_most) = 0;
  virtual void SetTitle(std::string_view title) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetMinimized(bool minimized) = 0;
  virtual void Activate() = 0;
  // Repaints the whole client area.
  virtual void Invalidate() = 0;
  // The paint manager whose control tree this window shows (null detaches).
  virtual void AttachPaintManager(CPaintManagerUI* pm) = 0;
  // The host the paint manager calls for native help (never null).
  virtual IPaintHost* PaintHost() = 0;
};

// The tray's native icon. Created by CTrayIcon through the backend.
class INativeTrayIcon {
 public:
  virtual ~INativeTrayIcon() = default;
  virtual void SetToolTip(std::string_view tip) = 0;
  virtual void SetVisible(bool visible) = 0;
  // False while the desktop has no tray to show the icon in (the icon
  // appears by itself when a tray starts later).
  virtual bool Available() const { return true; }
  // A desktop notification (title and one line); false when none could be
  // shown.
  virtual bool Notify(std::string_view /*title*/, std::string_view /*text*/) { return false; }
};

// What the file dialog asks (file_dialog.h has the service itself).
struct FileDialogRequest {
  bool save = false;
  HWND owner = nullptr;
  std::string title;               // in the interface's language
  std::string language;            // the interface's language name ("en", "cn_zh")
  std::string initial_folder;      // where the dialog opens (existing)
  std::string initial_name;       // e.g. "*.png", or a suggested name
  // Descriptions are in the interface's language; empty: patterns only.
  std::string default_extension;  // without the dot, e.g. "png"
  // (description, patterns) pairs parsed from the "|"-separated filter.
  std::vector<std::pair<std::string, std::string>> filters;
  bool overwrite_prompt = false;
};

class IWindowBackend {
 public:
  virtual ~IWindowBackend() = default;
  virtual std::unique_ptr<INativeWindow> CreateNativeWindow(CWindowWnd* window) = 0;
  // Work area of the primary screen in screen coordinates.
  virtual UiRect WorkArea() = 0;
  // Pointer position in screen coordinates.
  virtual UiPoint CursorPos() = 0;
  // A tray icon that reports each click on it by calling on_mouse with
  // WM_LBUTTONUP (left click) or WM_RBUTTONUP (context click). Null when
  // the desktop has no tray.
  virtual std::unique_ptr<INativeTrayIcon> CreateTrayIcon(std::function<void(UINT)> on_mouse,
                                                          std::string_view icon_path,
                                                          std::string_view tooltip) = 0;
  // Runs a native file dialog; true and *path when the user confirmed.
  virtual bool RunFileDialog(const FileDialogRequest& request, std::string* path) = 0;
};

// Installs the backend (null: headless). The backend must outlive every
// window created while it is installed.
void SetWindowBackend(IWindowBackend* backend);
IWindowBackend* GetWindowBackend();

// Headless screen state, used when no backend is installed (tests move the
// pointer and resize the screen through these).
void SetHeadlessWorkArea(const UiRect& rc);
void SetHeadlessCursorPos(UiPoint pt);
UiRect CurrentWorkArea();
UiPoint CurrentCursorPos();

}  // namespace trx::ui
