#pragma once
// CWndUI ("CWndUI" in layouts, class "Wnd"): a control that hosts a window
// of the library over its rectangle. With the Qt backend the hosted window
// is a native Qt window: a child widget of the layout's window when it was
// created with WS_CHILD and that window as parent, else a top-level window
// owned by it.
//
// After every position or visibility change (SetPos, SetVisible,
// SetInternVisible: a hidden tab page hides it too) the control first does
// the library's work, then places the hosted window on its rectangle —
// client coordinates for a child of the paint manager's window, screen
// coordinates (shifted by that window's position) otherwise — without
// activating it or changing the Z order, and shows it when the control is
// visible, else hides it. Without a hosted window only the library's work
// is done.
//
// The control does not own the hosted window: Attach only records the
// handle. A hosted window still alive when the control goes is hidden.
// UI thread only.

#include "ui/core/control.h"
#include "ui/window/win_types.h"

namespace trx::ui {

class CWndUI : public CControlUI {
 public:
  CWndUI();
  ~CWndUI() override;
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;

  // Hosts hwnd (null detaches) and places it at once.
  void Attach(HWND hwnd);
  HWND GetHostedWindow() const { return hosted_; }

  void SetPos(const UiRect& rc, bool needInvalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;

 private:
  void PlaceHostedWindow();

  HWND hosted_ = nullptr;
};

}  // namespace trx::ui
