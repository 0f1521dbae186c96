#include "app/page_timers.h"

namespace trx::app {

void CPageTimers::Start(int id, int period_ms, std::function<void()> on_tick) {
  on_tick_[id] = std::move(on_tick);
  set_(id, period_ms);
}

void CPageTimers::Kill(int id) {
  on_tick_.erase(id);
  kill_(id);
}

bool CPageTimers::Tick(int id) {
  const auto timer = on_tick_.find(id);
  if (timer == on_tick_.end()) return false;
  const std::function<void()> on_tick = timer->second;  // it may kill its own timer
  on_tick();
  return true;
}

}  // namespace trx::app
