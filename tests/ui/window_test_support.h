#pragma once
// Window-layer test helpers: a window recording its messages, a layout window keeping the menu
// commands it gets, and a fixture with a fresh queue on the test thread and a controllable clock.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/queue_test.h"
#include "ui/core/menu.h"
#include "ui/window/message_queue.h"
#include "ui/window/messages.h"
#include "ui/window/window_impl_base.h"
#include "ui/window/window_wnd.h"

namespace trx::ui::testing {

struct Received {
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
};

class RecordingWindow : public CWindowWnd {
 public:
  std::vector<Received> log;
  std::function<LRESULT(UINT, WPARAM, LPARAM, bool*)> on_message;  // may set handled

  std::vector<WPARAM> TimerIds() const {
    std::vector<WPARAM> ids;
    for (const Received& r : log)
      if (r.msg == WM_TIMER) ids.push_back(r.wparam);
    return ids;
  }
  int Count(UINT msg) const {
    int n = 0;
    for (const Received& r : log) n += r.msg == msg;
    return n;
  }

 protected:
  const char* GetWindowClassName() const override { return "RecordingWindow"; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    log.push_back({msg, wparam, lparam});
    if (on_message) {
      bool handled = false;
      const LRESULT r = on_message(msg, wparam, lparam, &handled);
      if (handled) return r;
    }
    return DefWindowProc(msg, wparam, lparam);
  }
};

class SkinWindow : public WindowImplBase {
 public:
  explicit SkinWindow(std::string skin) : skin_(std::move(skin)) {}
  std::vector<MenuCmd> commands;

 protected:
  const char* GetWindowClassName() const override { return "SkinWindow"; }
  std::string GetSkinFile() override { return skin_; }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM, bool& handled) override {
    handled = msg == WM_MENUCLICK;
    if (auto* cmd = handled ? reinterpret_cast<MenuCmd*>(wparam) : nullptr) {
      commands.push_back(*cmd);
      m_pm.DeletePtr(cmd);
    }
    return 0;
  }

 private:
  std::string skin_;
};

using WindowTest = trx::test::QueueTest;

}  // namespace trx::ui::testing
