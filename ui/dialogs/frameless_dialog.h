#pragma once
// The frameless-dialog window behaviour shared by the palette dialog and
// the about window: no system frame, dragged by the empty parts of the
// layout's caption area only, round-cornered, maximised to the work area.
//
//   WM_CREATE            OnCreate (layout built by WindowImplBase)
//   WM_DESTROY, WM_CLOSE left to the default handling
//   WM_SIZE              unless minimised: region = round rectangle
//                        (0,0)-(width+1,height+1) with the layout's corners
//   WM_GETMINMAXINFO     maximised size = the work area
//   WM_NCCALCSIZE/PAINT  0 (no frame)
//   WM_NCHITTEST         HTCAPTION inside the caption area over a control
//                        that is not a Button, Option or Text; else HTCLIENT
//   WM_NCACTIVATE        !wParam (left to the default when minimised)
//   WM_SYSCOMMAND        SC_CLOSE sends WM_CLOSE and returns 0
//
// UI thread only.

#include "ui/window/window_impl_base.h"

namespace trx::ui {

// What WM_GETMINMAXINFO points to in lParam (the fields this program uses).
struct MinMaxInfo {
  UiPoint ptMaxSize{};      // maximised size
  UiPoint ptMaxPosition{};  // maximised position, relative to the monitor
  UiPoint ptMinTrackSize{};
  UiPoint ptMaxTrackSize{};
};

class CFramelessDialog : public WindowImplBase {
 public:
  // Hit test on a client point (what WM_NCHITTEST answers).
  LRESULT HitTestClient(UiPoint client_point) { return CaptionHitTest(client_point); }
  // The window region last set by WM_SIZE (empty before the first size).
  const UiRect& GetRegionRect() const { return region_; }
  UiSize GetRegionRound() const { return region_round_; }

 protected:
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT OnClose(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnDestroy(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnNcActivate(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnNcCalcSize(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnNcPaint(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnNcHitTest(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnSize(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT OnSysCommand(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  UiRect region_{};
  UiSize region_round_{};
};

}  // namespace trx::ui
