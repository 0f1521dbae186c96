#pragma once
// Shared set-up for the dialog tests: a fresh message queue on the
// controllable clock, the skin folder of the source tree as resource path
// with a resource index naming the message box layout, a temporary home
// (so "main.ini" lands there), and helpers that press a dialog's controls
// with the mouse the way a user would.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/platform/temp_home.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/window/file_dialog.h"
#include "ui/window/message_queue.h"
#include "ui/window/window_backend.h"

namespace trx::ui::testing {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CMessageQueue& q = CMessageQueue::Instance();
    q.ResetForTest();
    q.BindToCurrentThread();
    q.UseManualClock(0);
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    CResourceManager::GetInstance()->Release();
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource(TRX770_TEST_DATA_DIR "/dialogs/res.xml"));
    SetHeadlessWorkArea({0, 0, 1920, 1040});
  }
  void TearDown() override {
    SetDialogHook({});
    SetFileDialogHandler({});
    CResourceManager::GetInstance()->Release();
    CMessageQueue::Instance().ResetForTest();
  }
  CMessageQueue& queue() { return CMessageQueue::Instance(); }

  test::TempHome home_;
};

// Queues a left click at the centre of the named control, as mouse input to
// the dialog's paint manager after layout. Fails the test when the control
// is missing or not visible.
inline void QueueMouseClick(WindowImplBase& dialog, std::string name) {
  const HWND hwnd = dialog.GetHWND();
  CMessageQueue::Instance().PostCallback([hwnd, name] {
    auto* window = dynamic_cast<WindowImplBase*>(CWindowWnd::FromHandle(hwnd));
    ASSERT_NE(window, nullptr);
    CPaintManagerUI& pm = window->GetPaintManager();
    pm.UpdateLayout();
    CControlUI* control = pm.FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    ASSERT_TRUE(control->IsVisible()) << name;
    const UiRect rc = control->GetPos();
    const UiPoint centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ASSERT_EQ(pm.FindControl(centre), control) << name << " is covered";
    pm.OnButtonDown(centre);
    pm.OnButtonUp(centre);
  });
}

}  // namespace trx::ui::testing
