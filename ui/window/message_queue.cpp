#include "ui/window/message_queue.h"

#include <algorithm>
#include <chrono>

#include "ui/window/messages.h"
#include "ui/window/window_registry.h"

namespace trx::ui {
namespace {
constexpr std::int64_t kMinTimerMs = 10;  // shortest timer period, as USER_TIMER_MINIMUM

std::int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

// The loop without a GUI toolkit: waits on the queue's condition variable.
class CMessageQueue::HeadlessDriver : public ILoopDriver {
 public:
  explicit HeadlessDriver(CMessageQueue* q) : q_(q) {}
  void Wake() override {
    {
      std::lock_guard lock(q_->mu_);
      woken_ = true;
    }
    q_->work_cv_.notify_all();
  }
  void RunUntil(const std::function<bool()>& done) override { q_->HeadlessRunUntil(done); }
  bool woken_ = false;  // guarded by q_->mu_

 private:
  CMessageQueue* q_;
};

CMessageQueue& CMessageQueue::Instance() {
  static CMessageQueue* q = new CMessageQueue;  // lives to process exit: workers may post late
  return *q;
}

CMessageQueue::CMessageQueue() : headless_(std::make_unique<HeadlessDriver>(this)) {}

void CMessageQueue::BindToCurrentThread() {
  std::lock_guard lock(mu_);
  ui_thread_ = std::this_thread::get_id();
}

bool CMessageQueue::IsUiThread() const {
  std::lock_guard lock(mu_);
  return ui_thread_ == std::this_thread::get_id();
}

bool CMessageQueue::Post(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (!window_registry::IsAlive(hwnd)) return false;
  {
    std::lock_guard lock(mu_);
    posted_.push_back(Posted{hwnd, msg, wparam, lparam, {}});
  }
  Wake();
  return true;
}

void CMessageQueue::PostCallback(std::function<void()> fn) {
  {
    std::lock_guard lock(mu_);
    posted_.push_back(Posted{nullptr, 0, 0, 0, std::move(fn)});
  }
  Wake();
}

LRESULT CMessageQueue::Deliver(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  IMessageTarget* target = window_registry::Lookup(hwnd);
  return target ? target->WindowProc(msg, wparam, lparam) : 0;
}

LRESULT CMessageQueue::Send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (IsUiThread()) return Deliver(hwnd, msg, wparam, lparam);
  auto item = std::make_shared<SendItem>(SendItem{hwnd, msg, wparam, lparam});
  {
    std::unique_lock lock(mu_);
    if (quit_ || !window_registry::IsAlive(hwnd)) return 0;
    sends_.push_back(item);
  }
  Wake();
  std::unique_lock lock(mu_);
  send_cv_.wait(lock, [&] { return item->done; });
  return item->result;
}

UINT_PTR CMessageQueue::SetTimer(HWND hwnd, UINT_PTR id, unsigned elapse_ms) {
  if (!window_registry::IsAlive(hwnd)) return 0;
  {
    std::lock_guard lock(mu_);
    const std::int64_t period = std::max<std::int64_t>(kMinTimerMs, elapse_ms);
    const std::int64_t due = NowLocked() + period;
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it != timers_.end()) {
      it->period = period;
      it->due = due;
      it->seq = ++timer_seq_;
    } else {
      timers_.push_back(Timer{hwnd, id, period, due, ++timer_seq_});
    }
  }
  Wake();
  return id;
}

bool CMessageQueue::KillTimer(HWND hwnd, UINT_PTR id) {
  std::lock_guard lock(mu_);
  auto it = std::find_if(timers_.begin(), timers_.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  return true;
}

void CMessageQueue::ForgetWindow(HWND hwnd) {
  {
    std::lock_guard lock(mu_);
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
    std::erase_if(posted_, [&](const Posted& p) { return !p.callback && p.hwnd == hwnd; });
    ReleaseSendersLocked(hwnd);
  }
  Wake();  // a modal loop may be waiting for this window to go
}

void CMessageQueue::ReleaseSendersLocked(HWND only) {
  for (auto it = sends_.begin(); it != sends_.end();) {
    if (only == nullptr || (*it)->hwnd == only) {
      (*it)->result = 0;
      (*it)->done = true;
      it = sends_.erase(it);
    } else {
      ++it;
    }
  }
  send_cv_.notify_all();
}

void CMessageQueue::PostQuit(int exit_code) {
  {
    std::lock_guard lock(mu_);
    if (!quit_) exit_code_ = exit_code;
    quit_ = true;
    ReleaseSendersLocked(nullptr);
  }
  Wake();
}

bool CMessageQueue::QuitRequested() const {
  std::lock_guard lock(mu_);
  return quit_;
}

int CMessageQueue::ExitCode() const {
  std::lock_guard lock(mu_);
  return exit_code_;
}

bool CMessageQueue::ShuttingDown() const { return QuitRequested(); }

bool CMessageQueue::TakeDueTimerLocked(std::int64_t limit, Timer* out, bool set_clock) {
  Timer* best = nullptr;
  for (Timer& t : timers_) {
    if (t.due > limit) continue;
    if (!best || t.due < best->due || (t.due == best->due && t.seq < best->seq)) best = &t;
  }
  if (!best) return false;
  if (set_clock && manual_clock_) manual_now_ = std::max(manual_now_, best->due);
  *out = *best;
  const std::int64_t now = NowLocked();
  best->due += best->period;
  if (best->due <= now) best->due = now + best->period;  // missed periods are not replayed
  best->seq = ++timer_seq_;
  return true;
}

int CMessageQueue::ProcessPending() {
  int handled = 0;
  std::size_t budget;
  {
    std::lock_guard lock(mu_);
    budget = posted_.size();
  }
  for (;;) {
    std::shared_ptr<SendItem> send;
    Posted post;
    bool have_post = false;
    {
      std::lock_guard lock(mu_);
      if (!sends_.empty()) {
        send = sends_.front();
        sends_.pop_front();
      } else if (budget > 0 && !posted_.empty()) {
        post = std::move(posted_.front());
        posted_.pop_front();
        --budget;
        have_post = true;
      }
    }
    if (send) {
      const LRESULT r = Deliver(send->hwnd, send->msg, send->wparam, send->lparam);
      {
        std::lock_guard lock(mu_);
        send->result = r;
        send->done = true;
      }
      send_cv_.notify_all();
      ++handled;
      continue;
    }
    if (!have_post) break;
    if (post.callback) {
      post.callback();
    } else {
      Deliver(post.hwnd, post.msg, post.wparam, post.lparam);
    }
    ++handled;
  }
  // Timers due now, each at most once per pass.
  std::int64_t now;
  {
    std::lock_guard lock(mu_);
    now = NowLocked();
  }
  for (std::size_t n = 0;; ++n) {
    Timer t{};
    {
      std::lock_guard lock(mu_);
      if (n >= timers_.size() || !TakeDueTimerLocked(now, &t, false)) break;
    }
    Deliver(t.hwnd, WM_TIMER, t.id, 0);
    ++handled;
  }
  return handled;
}

void CMessageQueue::RunUntil(const std::function<bool()>& done) {
  ILoopDriver* driver;
  {
    std::lock_guard lock(mu_);
    if (ui_thread_ == std::thread::id{}) ui_thread_ = std::this_thread::get_id();
    driver = driver_ ? driver_ : headless_.get();
  }
  driver->RunUntil(done);
}

int CMessageQueue::RunMessageLoop() {
  RunUntil([this] { return QuitRequested(); });
  return ExitCode();
}

bool CMessageQueue::HasWorkLocked() const {
  if (!sends_.empty() || !posted_.empty()) return true;
  const std::int64_t now = NowLocked();
  return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.due <= now; });
}

void CMessageQueue::HeadlessRunUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (ProcessPending() > 0) continue;
    if (done()) break;
    std::unique_lock lock(mu_);
    if (HasWorkLocked()) continue;
    if (headless_->woken_) {
      headless_->woken_ = false;
      continue;  // state changed somewhere: look at done() again
    }
    if (manual_clock_) {
      if (auto_advance_ && !timers_.empty()) {
        std::int64_t next = timers_.front().due;
        for (const Timer& t : timers_) next = std::min(next, t.due);
        manual_now_ = std::max(manual_now_, next);
        continue;
      }
      work_cv_.wait(lock, [&] { return HasWorkLocked() || headless_->woken_; });
    } else if (!timers_.empty()) {
      std::int64_t next = timers_.front().due;
      for (const Timer& t : timers_) next = std::min(next, t.due);
      const auto wait = std::chrono::milliseconds(std::max<std::int64_t>(0, next - SteadyMs()));
      work_cv_.wait_for(lock, wait, [&] { return !sends_.empty() || !posted_.empty() || headless_->woken_; });
    } else {
      work_cv_.wait(lock, [&] { return HasWorkLocked() || headless_->woken_; });
    }
  }
}

std::int64_t CMessageQueue::NowLocked() const { return manual_clock_ ? manual_now_ : SteadyMs(); }

std::int64_t CMessageQueue::Now() const {
  std::lock_guard lock(mu_);
  return NowLocked();
}

void CMessageQueue::UseManualClock(std::int64_t start_ms) {
  std::lock_guard lock(mu_);
  manual_clock_ = true;
  manual_now_ = start_ms;
}

void CMessageQueue::UseRealClock() {
  std::lock_guard lock(mu_);
  manual_clock_ = false;
  auto_advance_ = false;
}

bool CMessageQueue::ManualClock() const {
  std::lock_guard lock(mu_);
  return manual_clock_;
}

void CMessageQueue::SetAutoAdvance(bool on) {
  std::lock_guard lock(mu_);
  auto_advance_ = on;
}

void CMessageQueue::AdvanceTime(std::int64_t ms) {
  std::int64_t target;
  {
    std::lock_guard lock(mu_);
    if (!manual_clock_) return;
    target = manual_now_ + ms;
  }
  for (;;) {
    ProcessPending();
    Timer t{};
    {
      std::lock_guard lock(mu_);
      if (!TakeDueTimerLocked(target, &t, true)) break;
    }
    Deliver(t.hwnd, WM_TIMER, t.id, 0);
  }
  {
    std::lock_guard lock(mu_);
    manual_now_ = std::max(manual_now_, target);
  }
  ProcessPending();
}

std::int64_t CMessageQueue::MillisToNextTimer() const {
  std::lock_guard lock(mu_);
  if (timers_.empty()) return -1;
  std::int64_t next = timers_.front().due;
  for (const Timer& t : timers_) next = std::min(next, t.due);
  return std::max<std::int64_t>(0, next - NowLocked());
}

void CMessageQueue::SetDriver(ILoopDriver* driver) {
  std::lock_guard lock(mu_);
  driver_ = driver;
}

void CMessageQueue::Wake() {
  ILoopDriver* driver;
  {
    std::lock_guard lock(mu_);
    driver = driver_;
  }
  if (driver) driver->Wake();
  headless_->Wake();
}

void CMessageQueue::ResetForTest() {
  std::lock_guard lock(mu_);
  posted_.clear();
  ReleaseSendersLocked(nullptr);
  timers_.clear();
  quit_ = false;
  exit_code_ = 0;
  manual_clock_ = false;
  auto_advance_ = false;
  manual_now_ = 0;
  ui_thread_ = std::thread::id{};
  headless_->woken_ = false;
}

}  // namespace trx::ui
