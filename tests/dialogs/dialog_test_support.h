#pragma once
// Shared set-up for the dialog tests: a fresh message queue on the manual
// clock, the skin of the source tree, a temporary home (so "main.ini" lands
// there), a main window stand-in, a skin change recorder, and mouse clicks
// on a dialog's controls.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/platform/temp_home.h"
#include "tests/support/queue_test.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/dialogs/skin_observer.h"
#include "ui/dialogs/url_opener.h"
#include "ui/window/file_dialog.h"
#include "ui/window/message_queue.h"
#include "ui/window/window_backend.h"

namespace trx::ui::testing {

class DialogTest : public trx::test::QueueTest {
 protected:
  void SetUp() override {
    QueueTest::SetUp();
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    CResourceManager::GetInstance()->Release();
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource(TRX770_TEST_DATA_DIR "/dialogs/res.xml"));
    SetHeadlessWorkArea({0, 0, 1920, 1040});
  }
  void TearDown() override {
    SetDialogHook({});
    SetFileDialogHandler({});
    SetUrlOpener(nullptr);
    CResourceManager::GetInstance()->Release();
    QueueTest::TearDown();
  }

  test::TempHome home_;
};

class RecordingReceiver : public SkinChangedReceiver {
 public:
  int Receive(SkinChangedParam param) override { received.push_back(param); return 1; }
  std::vector<SkinChangedParam> received;
};

// A main window stand-in holding the skin button.
class MainStandIn : public WindowImplBase {
 protected:
  const char* GetWindowClassName() const override { return "MainStandIn"; }
  std::string GetSkinFile() override {
    return "<Window size=\"800,572\"><VerticalLayout name=\"root\"><HorizontalLayout height=\"40\">"
           "<Control/><Button name=\"skinbtn\" width=\"30\" height=\"30\"/><Control width=\"100\"/>"
           "</HorizontalLayout><Control/></VerticalLayout></Window>";
  }
};

// A left click at the centre of `control` (named `name`), as mouse input to
// `pm` after layout. Fails the test when the control is missing, not visible
// or covered there.
inline void ClickCentre(CPaintManagerUI& pm, CControlUI* control, const std::string& name) {
  pm.UpdateLayout();
  ASSERT_NE(control, nullptr) << name;
  ASSERT_TRUE(control->IsVisible()) << name;
  const UiRect rc = control->GetPos();
  const UiPoint centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  ASSERT_EQ(pm.FindControl(centre), control) << name << " is covered";
  pm.OnButtonDown(centre);
  pm.OnButtonUp(centre);
}

// Queues that click on the dialog's control of that name.
inline void QueueMouseClick(WindowImplBase& dialog, std::string name) {
  const HWND hwnd = dialog.GetHWND();
  CMessageQueue::Instance().PostCallback([hwnd, name] {
    auto* window = dynamic_cast<WindowImplBase*>(CWindowWnd::FromHandle(hwnd));
    ASSERT_NE(window, nullptr);
    ClickCentre(window->GetPaintManager(), window->GetPaintManager().FindControl(name), name);
  });
}

}  // namespace trx::ui::testing
