#include "app/worker_threads.h"

#include <chrono>

#include "device/exchange_stop.h"

namespace trx::app {

WorkerThreads::WorkerThreads() = default;

WorkerThreads::~WorkerThreads() {
  bool any_started = false;
  for (const Slot& slot : slots_) any_started = any_started || slot.thread.joinable();
  if (any_started) StopAll();
}

void WorkerThreads::SetBody(int index, Body body) {
  if (index < 0 || index >= kWorkerCount) return;
  slots_[index].body = std::move(body);
}

bool WorkerThreads::HasBody(int index) const {
  return index >= 0 && index < kWorkerCount && static_cast<bool>(slots_[index].body);
}

bool WorkerThreads::Start(int index) {
  if (!HasBody(index)) return false;
  Slot& slot = slots_[index];
  if (slot.thread.joinable()) return false;
  slot.stop->ResetEvent();
  auto done = std::make_shared<bool>(false);
  slot.done = done;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    ++shared_->running;
  }
  // The thread keeps its own references (body, event, shared state), so a
  // thread let go after a timed-out stop never touches freed memory of
  // this object.
  slot.thread = std::thread([body = slot.body, stop = slot.stop, shared = shared_, done] {
    {
      // Device sequences on this thread end between exchanges once stopped.
      ScopedExchangeStop exchange_stop(*stop);
      body(*stop);
    }
    std::lock_guard<std::mutex> lock(shared->mutex);
    *done = true;
    --shared->running;
    shared->ended.notify_all();
  });
  return true;
}

bool WorkerThreads::IsStarted(int index) const {
  return index >= 0 && index < kWorkerCount && slots_[index].thread.joinable();
}

CEvent& WorkerThreads::StopEvent(int index) { return *slots_[index].stop; }

StopResult WorkerThreads::StopAll(int timeout_ms) {
  for (Slot& slot : slots_) slot.stop->Set();
  // Only the threads still owned here are waited for: one let go by an
  // earlier stop is not waited for again.
  auto owned_ended = [&] {
    for (const Slot& slot : slots_) {
      if (slot.thread.joinable() && !(slot.done && *slot.done)) return false;
    }
    return true;
  };
  bool all_ended;
  {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    all_ended = shared_->ended.wait_for(lock, std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms), owned_ended);
  }
  for (Slot& slot : slots_) {
    if (!slot.thread.joinable()) continue;
    bool done;
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      done = slot.done && *slot.done;
    }
    if (done) {
      slot.thread.join();
    } else {
      slot.thread.detach();
    }
  }
  return all_ended ? StopResult::AllEnded : StopResult::TimedOut;
}

int WorkerThreads::RunningCount() const {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->running;
}

}  // namespace trx::app
