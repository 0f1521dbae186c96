#include "device/precise_sleep.h"

#include <thread>

namespace trx {

void SleepUntilPrecise(SteadyTime deadline) {
  auto now = std::chrono::steady_clock::now();
  if (deadline - now > kSpinMargin) std::this_thread::sleep_until(deadline - kSpinMargin);
  while (std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
}

void SleepForPrecise(std::chrono::microseconds duration) {
  SleepUntilPrecise(std::chrono::steady_clock::now() + duration);
}

}  // namespace trx
