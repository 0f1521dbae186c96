#pragma once
// The device queues' way to the UI thread (device/device_queue.h IUiPost):
// calls are kept in order and one window message (kMsgRunPosted) asks the
// UI thread to run whatever is waiting.
//
// Threads: Post from any thread; SetWindow and RunPosted on the UI thread.
// A call posted before the window exists waits for it; once Close() ran
// (shutdown) posts are refused and waiting calls are dropped unrun.

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "device/device_queue.h"
#include "ui/window/win_types.h"

namespace trx::app {

inline constexpr ui::UINT kMsgRunPosted = 0x0C12;

class CWindowUiPost final : public IUiPost {
 public:
  bool Post(std::function<void()> call) override;
  void SetWindow(ui::HWND window);
  // Runs the calls waiting now, in the order posted. UI thread.
  void RunPosted();
  void Close();

 private:
  std::mutex mutex_;  // guards calls_, window_, closed_, message_pending_ (a leaf)
  std::deque<std::function<void()>> calls_;
  ui::HWND window_ = nullptr;
  bool closed_ = false;
  bool message_pending_ = false;
};

}  // namespace trx::app
