#include "platform/desktop_pointer/desktop_applier.h"

#include "platform/debug_log.h"

namespace trx::desktop {

CDesktopApplier::CDesktopApplier(IDesktopPointer& pointer, ResultHook on_result)
    : pointer_(pointer), on_result_(std::move(on_result)), worker_([this] { Run(); }) {}

CDesktopApplier::~CDesktopApplier() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void CDesktopApplier::ApplyPointerSpeed(int speed) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    speed_ = speed;
  }
  wake_.notify_all();
}

void CDesktopApplier::ApplyWheelLines(int lines) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_ = lines;
  }
  wake_.notify_all();
}

void CDesktopApplier::ReadState(std::function<void(const DesktopPointerState&)> done) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    read_ = std::move(done);
  }
  wake_.notify_all();
}

void CDesktopApplier::Drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return !busy_ && !speed_ && !lines_ && !read_; });
}

void CDesktopApplier::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || speed_ || lines_ || read_; });
    if (read_) {
      auto done = std::move(read_);
      read_ = nullptr;
      busy_ = true;
      lock.unlock();
      const DesktopPointerState state = ReadDesktopPointerState(pointer_);
      if (done) done(state);
      lock.lock();
      busy_ = false;
      idle_.notify_all();
      continue;
    }
    if (!speed_ && !lines_) break;  // stopping, nothing left to apply
    const bool is_speed = speed_.has_value();
    const int value = is_speed ? *speed_ : *lines_;
    (is_speed ? speed_ : lines_).reset();
    busy_ = true;
    lock.unlock();
    const DesktopResult result = is_speed ? pointer_.SetPointerSpeed(value) : pointer_.SetWheelLines(value);
    if (result != DesktopResult::Ok)
      DebugLineF("%s %d not applied on the %s desktop: %d", is_speed ? "pointer speed" : "wheel lines", value,
                 pointer_.Name(), static_cast<int>(result));
    if (on_result_) on_result_(is_speed ? DesktopSetting::PointerSpeed : DesktopSetting::WheelLines, value, result);
    lock.lock();
    busy_ = false;
    idle_.notify_all();
  }
  idle_.notify_all();
}

}  // namespace trx::desktop
