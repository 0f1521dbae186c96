#pragma once
// CWindowWnd: one top-level window of the library. It owns a handle from
// the window registry, keeps its state (rectangle, visibility, enabled,
// top-most, minimised) and, when a backend is installed, a native window
// mirroring that state. Messages reach it through HandleMessage on the UI
// thread; what a subclass leaves unhandled goes to DefWindowProc, which
// gives the default behaviour of the messages this program relies on
// (WM_CLOSE destroys, SC_CLOSE sends WM_CLOSE, SC_RESTORE/SC_MINIMIZE
// change the show state).
//
// Lifetime: Create registers the handle and sends WM_CREATE; destruction
// (DestroyWindow, or WM_CLOSE through DefWindowProc) first destroys the
// windows it owns, then sends WM_DESTROY and WM_NCDESTROY, forgets the
// handle, its timers and queued messages, and calls OnFinalMessage, where a
// window may delete itself. Deleting a live window object destroys the
// window first.
//
// Thread safety: UI thread only, except GetHWND, PostMessage and
// SendMessage, which may be called from any thread.

#include <memory>
#include <string>

#include "ui/core/ui_types.h"
#include "ui/window/messages.h"
#include "ui/window/window_backend.h"
#include "ui/window/window_registry.h"

namespace trx::ui {

class CWindowWnd : public IMessageTarget {
 public:
  CWindowWnd();
  ~CWindowWnd() override;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Creates the window: registers the handle, stores the geometry (a
  // CW_USEDEFAULT size becomes 0 until the layout sizes the window), sends
  // WM_CREATE and shows the window when style has WS_VISIBLE. Returns null
  // when WM_CREATE returns -1 (the window is destroyed again).
  HWND Create(HWND parent, const char* name, DWORD style, DWORD ex_style, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT);
  HWND Create(HWND parent, const char* name, DWORD style, DWORD ex_style, const UiRect& rc);

  void ShowWindow(bool show = true, bool take_focus = true);
  // SW_* show commands (SW_HIDE, SW_SHOW, SW_RESTORE, SW_MINIMIZE ...).
  void ShowWindowCmd(int command);
  bool IsWindowVisible() const { return visible_ && !minimized_; }
  bool IsMinimized() const { return minimized_; }
  bool IsEnabled() const { return enabled_; }
  void EnableWindow(bool enable);
  bool IsTopMost() const { return top_most_; }

  // Runs a nested message loop until this window is gone (or quit is
  // requested) and returns the value given to Close (0 when closed any
  // other way). The owner is disabled meanwhile. The object may delete
  // itself in OnFinalMessage; ShowModal touches no member after the loop.
  UINT ShowModal();
  // True while this window's ShowModal loop runs.
  bool IsRunningModal() const { return modal_result_ != nullptr; }
  // Posts WM_CLOSE with the result for ShowModal.
  void Close(UINT result = 1);
  // Destroys the window now (see Lifetime above).
  void DestroyWindow();
  // Centres on the owner when it is visible, else on the screen's work area.
  void CenterWindow();
  void MoveWindow(int x, int y, int cx, int cy);
  // SetWindowPos with HWND_TOPMOST/HWND_NOTOPMOST/HWND_TOP and SWP_* flags.
  void SetWindowPos(HWND insert_after, int x, int y, int cx, int cy, UINT flags);
  // Client size (no frame: the client area is the window).
  void ResizeClient(int cx = -1, int cy = -1);
  void SetIcon(UINT /*resource*/) {}
  void SetWindowText(const char* title);
  const std::string& GetWindowText() const { return title_; }
  UiRect GetWindowRect() const { return rect_; }
  UiRect GetClientRect() const { return {0, 0, rect_.Width(), rect_.Height()}; }
  DWORD GetStyle() const { return style_; }
  DWORD GetExStyle() const { return ex_style_; }
  void SetStyle(DWORD style) { style_ = style; }
  HWND GetParent() const { return parent_; }
  // Repaints the whole window (no-op headless).
  void Invalidate();

  LRESULT SendMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
  bool PostMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);

  // The native counterpart, null without a backend.
  INativeWindow* Native() const { return native_.get(); }
  // Tells the native window which control tree to show.
  void AttachPaintManager(CPaintManagerUI* pm);

  // Backend entry points: the user moved/resized the native window, or the
  // desktop activated/deactivated it. State is updated and WM_MOVE/WM_SIZE/
  // WM_ACTIVATE sent, without echoing the change back to the native side.
  void OnNativeGeometry(const UiRect& rc);
  void OnNativeActivate(bool active);
  void OnNativeMinimized(bool minimized);

  // The live library window behind a handle, or null. UI thread only.
  static CWindowWnd* FromHandle(HWND hwnd);

  // Registry entry point; runs HandleMessage and the final clean-up.
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 protected:
  virtual const char* GetWindowClassName() const = 0;
  virtual const char* GetSuperClassName() const { return nullptr; }
  virtual UINT GetClassStyle() const { return 0; }
  virtual LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);
  // The default handling of messages a window leaves unhandled.
  LRESULT DefWindowProc(UINT msg, WPARAM wparam, LPARAM lparam);
  virtual void OnFinalMessage(HWND hwnd);

  HWND m_hWnd = nullptr;

 private:
  void ApplyVisible(bool visible, bool activate);
  void ApplyGeometry(const UiRect& rc, bool to_native);
  void FinishDestroy();

  HWND parent_ = nullptr;
  std::string title_;
  DWORD style_ = 0;
  DWORD ex_style_ = 0;
  UiRect rect_{};
  bool visible_ = false;
  bool minimized_ = false;
  bool enabled_ = true;
  bool top_most_ = false;
  bool destroying_ = false;
  UINT* modal_result_ = nullptr;  // points into a running ShowModal's frame
  std::unique_ptr<INativeWindow> native_;
};

}  // namespace trx::ui
