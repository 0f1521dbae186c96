#pragma once
// Sleeping to a deadline with sub-millisecond accuracy.
//
// The kernel's sleep overshoots by tens of microseconds (timer slack and
// wake-up latency). The 10 ms pause before End transfer and the simulator's
// per-report latency model add up over a connect read, so these helpers
// sleep until shortly before the deadline and then yield-spin to it.
//
// Thread safety: free functions, callable from any thread.

#include <chrono>

namespace trx {

using SteadyTime = std::chrono::steady_clock::time_point;

// How far before the deadline the coarse sleep stops.
inline constexpr std::chrono::microseconds kSpinMargin{200};

// Returns at or just after `deadline`.
void SleepUntilPrecise(SteadyTime deadline);
// Returns at or just after now + duration.
void SleepForPrecise(std::chrono::microseconds duration);

// Tests: called on the sleeping thread with every duration SleepForPrecise
// is asked for, before it sleeps (null: none). Any thread.
using SleepObserver = void (*)(std::chrono::microseconds duration);
void SetSleepObserver(SleepObserver observer);

}  // namespace trx
