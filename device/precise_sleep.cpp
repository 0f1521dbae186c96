#include "device/precise_sleep.h"

#include <atomic>
#include <thread>

namespace trx {
namespace {

std::atomic<SleepObserver> g_sleep_observer{nullptr};

}  // namespace

void SetSleepObserver(SleepObserver observer) { g_sleep_observer.store(observer); }

void SleepUntilPrecise(SteadyTime deadline) {
  auto now = std::chrono::steady_clock::now();
  if (deadline - now > kSpinMargin) std::this_thread::sleep_until(deadline - kSpinMargin);
  while (std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
}

void SleepForPrecise(std::chrono::microseconds duration) {
  if (SleepObserver observer = g_sleep_observer.load()) observer(duration);
  SleepUntilPrecise(std::chrono::steady_clock::now() + duration);
}

}  // namespace trx
