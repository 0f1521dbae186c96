#pragma once
// Qt backend test helpers: one offscreen QApplication, a fixture installing the backend, and a
// layout window recording its notifications.

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/window_test_support.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_window.h"
#include "ui/window/message_queue.h"

namespace trx::ui::testing {

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "ui_qt_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

struct Note {
  std::string type;
  std::string sender;
  WPARAM wparam;
};

class NotesWindow : public SkinWindow {
 public:
  using SkinWindow::SkinWindow;
  std::vector<Note> notes;
  void Notify(TNotifyUI& msg) override {
    if (msg.sType != kNotifyWindowSize && msg.sType != kNotifyMouseEnter && msg.sType != kNotifyMouseLeave)
      notes.push_back({msg.sType, msg.pSender ? msg.pSender->GetName() : "", msg.wParam});
    WindowImplBase::Notify(msg);
  }
  qt::QtWindow* Widget() const {
    auto* native = dynamic_cast<qt::QtNativeWindow*>(Native());
    return native ? native->Widget() : nullptr;
  }
  QPoint CenterOf(const char* name) {
    CControlUI* c = m_pm.FindControl(name);
    if (c == nullptr) return {-1, -1};
    const UiRect rc = c->GetPos();
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
};

// A fresh queue on the test thread; `backend` installs the Qt backend.
class QtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    CMessageQueue::Instance().ResetForTest();
    CMessageQueue::Instance().BindToCurrentThread();
    if (backend) (backend_ = std::make_unique<qt::QtBackend>())->Install();
  }
  void TearDown() override {
    QApplication::processEvents();
    backend_.reset();
    CMessageQueue::Instance().ResetForTest();
  }
  // Fails the test unless each channel of `got` is within `tolerance` of `want`.
  static void ExpectPixel(QRgb got, QRgb want, int tolerance = 3) {
    EXPECT_NEAR(qRed(got), qRed(want), tolerance) << std::hex << got;
    EXPECT_NEAR(qGreen(got), qGreen(want), tolerance) << std::hex << got;
    EXPECT_NEAR(qBlue(got), qBlue(want), tolerance) << std::hex << got;
  }
  bool backend = true;
  std::unique_ptr<qt::QtBackend> backend_;
};

}  // namespace trx::ui::testing
