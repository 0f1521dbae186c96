// Window lifetime and modal loops: self-deleting windows, nested boxes,
// owned windows, show states and centring (the message box's own tests
// pin results, the disabled owner, the self-closing notice and quit).

#include <gtest/gtest.h>

#include "tests/ui/window_test_support.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class ModalTest : public WindowTest {};

TEST_F(ModalTest, WindowMayDeleteItselfInOnFinalMessage) {
  auto* box = new RecordingWindow;
  box->on_final = [box] { delete box; };
  box->Create(nullptr, "box", 0, 0);
  queue().PostCallback([box] { box->Close(7); });
  EXPECT_EQ(box->ShowModal(), 7u);  // runs under ASan in the sanitizer pass
}

TEST_F(ModalTest, NestedBoxesReturnInnerFirst) {
  RecordingWindow outer;
  outer.Create(nullptr, "outer", 0, 0);
  RecordingWindow inner;
  UINT inner_result = 99;
  queue().PostCallback([&] {
    inner.Create(outer, "inner", 0, 0);
    queue().PostCallback([&] { inner.Close(2); });
    inner_result = inner.ShowModal();
    outer.Close(3);
  });
  EXPECT_EQ(outer.ShowModal(), 3u);
  EXPECT_EQ(inner_result, 2u);
}

TEST_F(ModalTest, DestroyingAnOwnerDestroysTheWindowsItOwnsFirst) {
  std::vector<std::string> order;
  RecordingWindow owner;
  RecordingWindow owned;
  owner.Create(nullptr, "owner", 0, 0);
  owned.Create(owner, "owned", 0, 0);
  owner.on_message = [&](UINT msg, WPARAM, LPARAM, bool*) -> LRESULT {
    if (msg == WM_DESTROY) order.push_back("owner");
    return 0;
  };
  owned.on_message = [&](UINT msg, WPARAM, LPARAM, bool*) -> LRESULT {
    if (msg == WM_DESTROY) order.push_back("owned");
    return 0;
  };
  owner.DestroyWindow();
  EXPECT_EQ(order, (std::vector<std::string>{"owned", "owner"}));
  EXPECT_FALSE(IsWindow(owned.GetHWND()));
}

TEST_F(ModalTest, DeletingALiveWindowObjectWithdrawsItsHandle) {
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "w", 0, 0);
  PostMessage(hwnd, WM_USER, 0, 0);
  SetTimer(hwnd, 1, 10);
  delete w;  // no DestroyWindow first
  EXPECT_FALSE(IsWindow(hwnd));
  queue().AdvanceTime(100);  // neither the message nor the timer may reach it
  EXPECT_EQ(queue().MillisToNextTimer(), -1);
}

TEST_F(ModalTest, ShowStateFollowsShowCommandsAndSystemCommands) {
  RecordingWindow w;
  w.Create(nullptr, "w", 0, 0, 0, 0, 800, 572);
  EXPECT_FALSE(w.IsWindowVisible());
  w.ShowWindowCmd(SW_SHOW);
  EXPECT_TRUE(w.IsWindowVisible());
  w.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(w.IsWindowVisible());
  EXPECT_TRUE(w.IsMinimized());
  w.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(w.IsWindowVisible());
  w.ShowWindow(false);
  EXPECT_FALSE(w.IsWindowVisible());
  w.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(w.IsTopMost());
  EXPECT_EQ(w.GetWindowRect(), (UiRect{0, 0, 800, 572}));
  w.SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_FALSE(w.IsTopMost());
}

TEST_F(ModalTest, CenterWindowUsesTheWorkAreaOrTheVisibleOwner) {
  SetHeadlessWorkArea({0, 0, 1920, 1040});
  RecordingWindow main_wnd;
  main_wnd.Create(nullptr, "TRX770", 0, 0, 0, 0, 800, 572);
  main_wnd.CenterWindow();
  EXPECT_EQ(main_wnd.GetWindowRect(), (UiRect{560, 234, 1360, 806}));
  main_wnd.ShowWindow(true);
  RecordingWindow box;
  box.Create(main_wnd, "box", 0, 0, 0, 0, 400, 200);
  box.CenterWindow();
  EXPECT_EQ(box.GetWindowRect(), (UiRect{760, 420, 1160, 620}));
}

}  // namespace
}  // namespace trx::ui::testing
