// The dialogs in real Qt windows (offscreen platform): modal loops nested in
// Qt's loop, answered by mouse clicks on the native widgets.

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "tests/dialogs/dialog_test_support.h"
#include "tests/ui/qt_test_support.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/dialogs/pallet_dialog.h"
#include "ui/dialogs/skin_frame.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class DialogsQtTest : public QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    CResourceManager::GetInstance()->Release();
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    CResourceManager::GetInstance()->LoadLanguage("lan_en.xml");
  }
  void TearDown() override {
    SetDialogHook({});
    CResourceManager::GetInstance()->Release();
    QtTest::TearDown();
  }
};

qt::QtWindow* WidgetOf(CWindowWnd& w) {
  auto* native = dynamic_cast<qt::QtNativeWindow*>(w.Native());
  return native ? native->Widget() : nullptr;
}

QPoint CentreOf(WindowImplBase& w, const std::string& name) {
  CControlUI* c = w.GetPaintManager().FindControl(name);
  if (c == nullptr) return {-1, -1};
  const UiRect rc = c->GetPos();
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// Clicks the named controls one after the other once the dialog is up.
void ClickLater(WindowImplBase& dialog, std::vector<std::string> names) {
  const HWND hwnd = dialog.GetHWND();
  QTimer::singleShot(50, [hwnd, names] {
    for (const std::string& name : names) {
      auto* w = dynamic_cast<WindowImplBase*>(CWindowWnd::FromHandle(hwnd));
      ASSERT_NE(w, nullptr) << "gone before " << name;
      qt::QtWindow* widget = WidgetOf(*w);
      ASSERT_NE(widget, nullptr);
      const QPoint at = CentreOf(*w, name);
      ASSERT_GE(at.x(), 0) << name;
      QTest::mouseClick(widget, Qt::LeftButton, {}, at);
      QApplication::processEvents();
    }
  });
}

TEST_F(DialogsQtTest, MessageBoxConfirmedWithTheMouseReturnsOne) {
  SetDialogHook([](WindowImplBase& d, std::string_view) { ClickLater(d, {kMsgConfirmName}); });
  EXPECT_EQ(ShowMessage(nullptr, "message_text_1", true), 1);
  SetDialogHook([](WindowImplBase& d, std::string_view) { ClickLater(d, {kMsgCloseName}); });
  EXPECT_EQ(ShowMessage(nullptr, "message_text_1", true), 0);
}

TEST_F(DialogsQtTest, PaletteCancelAfterAPresetKeepsTheColourAndOkTakesIt) {
  SetDialogHook([](WindowImplBase& d, std::string_view) {
    ClickLater(d, {"ms_dpi_color_png_4", kPalletBtnCancelName});
  });
  UiColor colour = 0xFF010203;
  EXPECT_EQ(RunPalletDialog(nullptr, colour, {300, 200}, &colour), 2);
  EXPECT_EQ(colour, 0xFF010203u);
  SetDialogHook([](WindowImplBase& d, std::string_view) { ClickLater(d, {"ms_dpi_color_png_4", kPalletOkName}); });
  EXPECT_EQ(RunPalletDialog(nullptr, colour, {300, 200}, &colour), 1);
  EXPECT_EQ(colour, 0xFF008AFFu);
}

TEST_F(DialogsQtTest, SkinChooserColourClickReachesTheReceiver) {
  RecordingReceiver receiver;
  SkinObserver().AddReceiver(&receiver);
  CSkinFrame* frame = CSkinFrame::Open(nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  const HWND hwnd = frame->GetHWND();
  QApplication::processEvents();
  qt::QtWindow* widget = WidgetOf(*frame);
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton, {}, CentreOf(*frame, kSkinColorPageName));
  QApplication::processEvents();
  const UiColor first = frame->GetPaintManager().FindControl(kSkinColorBtnName)->GetBkColor();
  QTest::mouseClick(widget, Qt::LeftButton, {}, CentreOf(*frame, kSkinColorBtnName));
  QApplication::processEvents();
  ASSERT_EQ(receiver.received.size(), 1u);
  EXPECT_TRUE(receiver.received[0].bColor);
  EXPECT_EQ(receiver.received[0].bkcolor, first);
  ASSERT_TRUE(IsWindow(hwnd));
  // A press outside the drop-down (which a popup receives) closes it.
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(-30, -30));
  for (int i = 0; i < 20 && IsWindow(hwnd); ++i) QApplication::processEvents();
  EXPECT_FALSE(IsWindow(hwnd));
  if (IsWindow(hwnd)) frame->DestroyWindow();
  SkinObserver().RemoveReceiver(&receiver);
}

}  // namespace
}  // namespace trx::ui::testing
