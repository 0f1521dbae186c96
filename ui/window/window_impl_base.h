#pragma once
// WindowImplBase: a library window whose content is a layout. On WM_CREATE
// it binds its paint manager to the window (and to the native window's
// paint host when a backend runs), builds GetSkinFile() with itself as the
// builder callback (CreateControl), attaches the tree, sizes the window to
// the layout's size, registers itself as notifier and calls InitWindow.
// A skin that cannot be built fails the creation (Create returns null) with
// the debug line "加载资源文件失败" instead of ending the process.
//
// Message handling, as subclasses expect it: the frame messages go to the
// virtual On... handlers (each may clear `handled`); what stays unhandled
// goes to HandleCustomMessage, then to the paint manager (input, size), then
// to the default handling. The first paint raises "windowinit"; a window
// without a native counterpart gets that paint as a queued WM_PAINT when it
// is first shown.
//
// Frameless behaviour: WM_NCHITTEST returns HTCAPTION inside the layout's
// caption area unless the control under the point is a Button, Option or
// Text (or there is none), so the window is dragged by its caption.
//
// UI thread only.

#include <string>

#include "ui/core/dialog_builder.h"
#include "ui/core/notify.h"
#include "ui/core/paint_manager.h"
#include "ui/window/window_wnd.h"

namespace trx::ui {

inline constexpr const char* kDebugSkinLoadFailed = "加载资源文件失败";

class WindowImplBase : public CWindowWnd, public INotifyUI, public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;
  // Detaches the native window from the paint manager before it goes.
  ~WindowImplBase() override;

  CPaintManagerUI& GetPaintManager() { return m_pm; }

  // INotifyUI: routes "click" to OnClick.
  void Notify(TNotifyUI& msg) override;
  // IDialogBuilderCallback: no classes of its own.
  CControlUI* CreateControl(std::string_view class_name) override;

  // Called once the layout is built and attached.
  virtual void InitWindow() {}
  // "click": closebtn closes (Close(1)), minbtn minimises, maxbtn
  // maximises, restorebtn restores.
  virtual void OnClick(TNotifyUI& msg);

 protected:
  // The layout: a resource-index key ("XML_MAIN"), a file or XML text.
  virtual std::string GetSkinFile() = 0;
  virtual std::string GetSkinFolder() { return {}; }

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);

  virtual LRESULT OnCreate(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnClose(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnDestroy(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnNcActivate(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnNcCalcSize(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnNcPaint(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  // lParam: screen point. See "Frameless behaviour" above.
  virtual LRESULT OnNcHitTest(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnSize(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  virtual LRESULT OnSysCommand(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  // Escape closes a window that runs modally with 0 (cancel). Enter in a
  // modal window clicks its default button (DefaultButtonName) unless the
  // focus is on another button, which then takes the key itself.
  virtual LRESULT OnKeyDown(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  // The control Enter clicks in a modal window; null (the default): none.
  virtual const char* DefaultButtonName() const { return nullptr; }

  // The caption test of OnNcHitTest on a client point.
  LRESULT CaptionHitTest(UiPoint client_point);

  CPaintManagerUI m_pm;

 private:
  void PaintHeadless();
  bool paint_queued_ = false;
};

}  // namespace trx::ui
