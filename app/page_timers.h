#pragma once
// The pages' timers (pages::IWindow::StartTimer with a callback): each id's
// callback runs on the window's WM_TIMER for that id until it is killed.
// The window's own timers are not kept here.
//
// UI thread.

#include <functional>
#include <unordered_map>

namespace trx::app {

class CPageTimers {
 public:
  // `set`/`kill`: the window's timer calls (period in milliseconds).
  CPageTimers(std::function<void(int id, int period_ms)> set, std::function<void(int id)> kill)
      : set_(std::move(set)), kill_(std::move(kill)) {}

  // (Re)starts timer `id`; a running one gets the new period and callback.
  void Start(int id, int period_ms, std::function<void()> on_tick);
  void Kill(int id);
  // Runs the callback of `id` (which may kill or restart its own timer);
  // false when `id` is not a page timer.
  bool Tick(int id);

 private:
  std::function<void(int, int)> set_;
  std::function<void(int)> kill_;
  std::unordered_map<int, std::function<void()>> on_tick_;  // by timer id
};

}  // namespace trx::app
