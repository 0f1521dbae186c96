#pragma once
// A millisecond tick count (32 bits, wrapping like GetTickCount), behind an
// interface so tests control time. Any thread.

#include <chrono>
#include <cstdint>

namespace trx {

class ITickClock {
 public:
  virtual ~ITickClock() = default;
  virtual uint32_t NowMs() const = 0;
};

// The monotonic clock.
class SteadyTickClock : public ITickClock {
 public:
  uint32_t NowMs() const override {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
  }
};

}  // namespace trx
