#include "app/window_ui_post.h"

#include "ui/window/win_api.h"

namespace trx::app {

bool CWindowUiPost::Post(std::function<void()> call) {
  ui::HWND window = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    calls_.push_back(std::move(call));
    if (message_pending_ || window_ == nullptr) return true;
    message_pending_ = true;
    window = window_;
  }
  return ui::PostMessage(window, kMsgRunPosted);
}

void CWindowUiPost::SetWindow(ui::HWND window) {
  bool post = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
    post = window != nullptr && !calls_.empty() && !message_pending_;
    message_pending_ = message_pending_ || post;
  }
  if (post) ui::PostMessage(window, kMsgRunPosted);
}

void CWindowUiPost::RunPosted() {
  std::deque<std::function<void()>> now;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    message_pending_ = false;
    if (closed_) return;
    now.swap(calls_);
  }
  for (auto& call : now) call();
}

void CWindowUiPost::Close() {
  std::deque<std::function<void()>> dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  dropped.swap(calls_);
}

}  // namespace trx::app
