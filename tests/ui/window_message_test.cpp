// Posting and sending window messages: order, cross-thread sends, sends
// while the loop shuts down, handles of windows that are gone, and
// registered message numbers.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/ui/window_test_support.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class MessageTest : public WindowTest {};

// Posted messages and queued callbacks arrive in order, only when the loop
// runs; a send on the UI thread runs inline, one from a worker blocks until
// the UI thread handled it.
TEST_F(MessageTest, PostsAndCallbacksRunInOrderSendsReturnTheResult) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "m", 0, 0);
  w.log.clear();
  std::vector<int> order;
  std::thread::id handled_on;
  w.on_message = [&](UINT msg, WPARAM wp, LPARAM, bool* handled) -> LRESULT {
    if (msg == WM_USER + 5) order.push_back(1);
    if (msg == 0x0901) {
      handled_on = std::this_thread::get_id();
      PostQuitMessage(0);
    }
    *handled = msg == WM_USER || msg == 0x0901;
    return msg == 0x0901 ? 77 : static_cast<LRESULT>(wp * 2);
  };
  queue().PostCallback([&] { order.push_back(0); });
  EXPECT_TRUE(PostMessage(w, WM_USER + 5, 1, 2));
  EXPECT_TRUE(PostMessage(w, WM_USER + 6, 3, 4));
  queue().PostCallback([&] { order.push_back(2); });
  EXPECT_TRUE(w.log.empty());
  queue().ProcessPending();
  ASSERT_EQ(w.log.size(), 2u);
  EXPECT_EQ(w.log[0].msg, WM_USER + 5);
  EXPECT_EQ(w.log[0].lparam, 2);
  EXPECT_EQ(w.log[1].msg, WM_USER + 6);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(SendMessage(w, WM_USER, 21, 0), 42);
  std::atomic<LRESULT> result{-1};
  std::thread worker([&] { result = SendMessage(hwnd, 0x0901, 0, 0); });
  CPaintManagerUI::MessageLoop();
  worker.join();
  EXPECT_EQ(result.load(), 77);
  EXPECT_EQ(handled_on, std::this_thread::get_id());
}

// The main window waits for its workers after posting quit; a worker stuck
// in a send to it must come back instead of deadlocking the shutdown.
TEST_F(MessageTest, SendBlockedDuringShutdownReturnsZero) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "m", 0, 0);
  std::atomic<bool> sending{false};
  std::atomic<LRESULT> result{-1};
  std::thread worker([&] {
    sending = true;
    result = SendMessage(hwnd, 0x0902, 0, 0);  // nobody runs the loop
  });
  while (!sending) std::this_thread::yield();
  PostQuitMessage(0);  // what WM_DESTROY does before waiting for the workers
  worker.join();       // hangs here if the send were not released
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(SendMessage(hwnd, 0x0902, 0, 0), 0);  // UI thread: still inline
  std::thread late([&] { result = SendMessage(hwnd, 0x0902, 0, 0); });
  late.join();  // a new cross-thread send returns at once
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(w.Count(0x0902), 1);
}

TEST_F(MessageTest, SendToAWindowDestroyedWhileWaitingReturnsZero) {
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "m", 0, 0);
  std::atomic<bool> sending{false};
  std::atomic<LRESULT> result{-1};
  std::thread worker([&] {
    sending = true;
    result = SendMessage(hwnd, WM_USER, 0, 0);
  });
  while (!sending) std::this_thread::yield();
  // The send may or may not be queued yet; either way it must return 0.
  w->DestroyWindow();
  delete w;
  worker.join();
  EXPECT_EQ(result.load(), 0);
}

// Posting to a window that is gone fails and its queued messages go with
// it; handles are never reused.
TEST_F(MessageTest, PostingToAWindowThatIsGoneFailsAndHandlesAreNeverReused) {
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "m", 0, 0);
  EXPECT_TRUE(PostMessage(hwnd, WM_USER, 0, 0));
  w->DestroyWindow();
  delete w;
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(PostMessage(hwnd, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(hwnd, WM_USER, 0, 0), 0);
  EXPECT_EQ(queue().ProcessPending(), 0);  // the queued one went with the window
  RecordingWindow b;
  EXPECT_NE(b.Create(nullptr, "b", 0, 0), hwnd);
}

TEST_F(MessageTest, RegisteredMessagesAreStablePerNameAndInTheirRange) {
  const UINT a = RegisterWindowMessage("KORVANTE_001");
  const UINT b = RegisterWindowMessage("another_name");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_GE(b, 0xC000u);
  EXPECT_NE(a, b);
  EXPECT_EQ(RegisterWindowMessage("KORVANTE_001"), a);
  EXPECT_EQ(RegisterWindowMessage("korvante_001"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  EXPECT_EQ(RegisterWindowMessage(nullptr), 0u);
}

// Window operations from a worker are queued to the UI thread (queries are
// for the UI thread only); one queued for a window gone meanwhile does
// nothing.
TEST_F(MessageTest, WindowOperationsFromAWorkerAreQueuedToTheUiThread) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "m", 0, 0, 0, 0, 100, 100);
  auto* gone = new RecordingWindow;
  const HWND gone_hwnd = gone->Create(nullptr, "g", 0, 0);
  std::thread worker([&] {
    EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW));
    EXPECT_TRUE(SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(ShowWindow(gone_hwnd, SW_SHOW));
  });
  worker.join();
  EXPECT_FALSE(w.IsWindowVisible());  // nothing happened on the worker
  gone->DestroyWindow();
  delete gone;
  queue().ProcessPending();  // must not reach the deleted object
  EXPECT_FALSE(ShowWindow(gone_hwnd, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_TRUE(w.IsTopMost());
  EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));  // UI thread: at once
  EXPECT_FALSE(w.IsWindowVisible());
  UiRect rc{};
  EXPECT_TRUE(GetWindowRect(hwnd, &rc));
  EXPECT_EQ(rc, (UiRect{0, 0, 100, 100}));
}

}  // namespace
}  // namespace trx::ui::testing
