#include "device/device_queue.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "device/exchange_stop.h"
#include "platform/debug_log.h"

namespace trx {

const char* OperationStatusName(OperationStatus status) {
  switch (status) {
    case OperationStatus::Ran: return "ran";
    case OperationStatus::NotReady: return "device not read yet";
    case OperationStatus::Stopped: return "stopped";
  }
  return "unknown";
}

namespace {

// A RunAndWait caller's end of an operation.
struct Waiter {
  std::mutex mutex;  // guards ended, outcome (a leaf)
  std::condition_variable cv;
  bool ended = false;
  OperationOutcome outcome;
  void End(const OperationOutcome& o) {
    std::lock_guard<std::mutex> lock(mutex);
    outcome = o;
    ended = true;
    cv.notify_all();
  }
};

struct Item {
  uint64_t id = 0;
  DeviceOperation op;
  std::shared_ptr<Waiter> waiter;
};

}  // namespace

struct CDeviceQueue::State {
  State(std::shared_ptr<CDeviceChannel> c, std::shared_ptr<IUiPost> u, IOperationObserver* o)
      : channel(std::move(c)), ui(std::move(u)), observer(o) {}
  const std::shared_ptr<CDeviceChannel> channel;
  const std::shared_ptr<IUiPost> ui;
  IOperationObserver* const observer;
  CEvent stop{CEvent::Reset::Manual};

  // Guards everything below. A leaf: nothing else is taken while it is held
  // (the channel lock is taken by the queue thread with it released).
  mutable std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable ended_cv;
  std::deque<Item> queue;
  uint64_t next_id = 1;
  bool running = false;
  bool stopping = false;
  bool thread_started = false;
  bool thread_ended = false;
  std::thread::id thread_id;
};

namespace {

class Context final : public OperationContext {
 public:
  Context(const std::shared_ptr<IUiPost>& ui, IOperationObserver* observer, CDeviceChannel& channel, uint64_t id,
          bool progress, const CEvent& stop)
      : ui_(ui), observer_(observer), channel_(channel), id_(id), progress_(progress), stop_(stop) {}
  CDeviceChannel& Channel() override { return channel_; }
  void Begin(int total) override {
    total_ = std::max(1, total);
    Post(0);
  }
  void Advance(int done) override { Post(std::clamp(done, 0, total_)); }
  bool StopRequested() const override { return stop_.IsSet(); }

 private:
  void Post(int done) {
    if (!progress_ || ui_ == nullptr || observer_ == nullptr) return;
    const OperationProgress p{channel_.kind, id_, done, total_};
    IOperationObserver* observer = observer_;
    ui_->Post([observer, p] { observer->OnOperationProgress(p); });
  }
  const std::shared_ptr<IUiPost>& ui_;
  IOperationObserver* observer_;
  CDeviceChannel& channel_;
  uint64_t id_;
  bool progress_;
  const CEvent& stop_;
  int total_ = 1;
};

// The UI side's call is posted before a waiter is woken, so a caller of
// RunAndWait finds it queued on the UI thread when it returns.
void Finish(CDeviceQueue::State& s, Item& item, const OperationOutcome& outcome) {
  if (outcome.status != OperationStatus::Ran || !outcome.Ok())
    DebugLineF("%s operation \"%s\": %s, result %d", DeviceKindName(outcome.kind), outcome.name,
               OperationStatusName(outcome.status), outcome.result.Code());
  if (s.ui != nullptr) {
    IOperationObserver* observer = s.observer;
    s.ui->Post([done = std::move(item.op.done), observer, outcome] {
      if (done) done(outcome);
      if (observer != nullptr) observer->OnOperationFinished(outcome);
    });
  }
  if (item.waiter) item.waiter->End(outcome);
}

void WorkerLoop(const std::shared_ptr<CDeviceQueue::State>& state) {
  CDeviceQueue::State& s = *state;
  // A running operation ends between two exchanges once stopping begins.
  ScopedExchangeStop exchange_stop(s.stop);
  for (;;) {
    Item item;
    {
      std::unique_lock<std::mutex> lock(s.mutex);
      s.wake.wait(lock, [&s] { return s.stopping || !s.queue.empty(); });
      if (s.stopping) break;
      item = std::move(s.queue.front());
      s.queue.pop_front();
      s.running = true;
    }
    CDeviceChannel& channel = *s.channel;
    OperationOutcome outcome;
    outcome.kind = channel.kind;
    outcome.id = item.id;
    outcome.name = item.op.name;
    outcome.progress = item.op.progress;
    {
      // Held for the whole operation: nothing else reaches the device
      // between its first and last exchange.
      std::lock_guard<std::recursive_mutex> hold(channel.lock);
      if (channel.connected.load() != 0 && !channel.ready.load()) {
        outcome.status = OperationStatus::NotReady;
      } else {
        Context context(s.ui, s.observer, channel, item.id, item.op.progress, s.stop);
        outcome.result = item.op.run(context);
      }
    }
    Finish(s, item, outcome);
    std::lock_guard<std::mutex> lock(s.mutex);
    s.running = false;
  }
  std::deque<Item> dropped;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    dropped.swap(s.queue);
  }
  for (Item& item : dropped) {
    OperationOutcome outcome;
    outcome.kind = s.channel->kind;
    outcome.id = item.id;
    outcome.name = item.op.name;
    outcome.status = OperationStatus::Stopped;
    if (item.waiter) item.waiter->End(outcome);
  }
  std::lock_guard<std::mutex> lock(s.mutex);
  s.running = false;
  s.thread_ended = true;
  s.ended_cv.notify_all();
}

}  // namespace

CDeviceQueue::CDeviceQueue(std::shared_ptr<CDeviceChannel> channel, std::shared_ptr<IUiPost> ui,
                           IOperationObserver* observer)
    : state_(std::make_shared<State>(std::move(channel), std::move(ui), observer)) {}

CDeviceQueue::~CDeviceQueue() { Stop(kDefaultStopMs); }

DeviceKind CDeviceQueue::Kind() const { return state_->channel->kind; }

uint64_t CDeviceQueue::Submit(DeviceOperation operation) {
  if (!operation.run) return 0;
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.stopping) return 0;
  const uint64_t id = s.next_id++;
  s.queue.push_back(Item{id, std::move(operation), nullptr});
  if (!s.thread_started) {
    s.thread_started = true;
    std::thread worker([state = state_] { WorkerLoop(state); });
    s.thread_id = worker.get_id();
    worker.detach();  // Stop waits for it through thread_ended
  }
  s.wake.notify_one();
  return id;
}

OperationOutcome CDeviceQueue::RunAndWait(DeviceOperation operation, const CEvent* stop) {
  OperationOutcome stopped;
  stopped.kind = Kind();
  stopped.name = operation.name;
  stopped.status = OperationStatus::Stopped;
  if (!operation.run) return stopped;
  auto waiter = std::make_shared<Waiter>();
  {
    State& s = *state_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.stopping) return stopped;
    const uint64_t id = s.next_id++;
    s.queue.push_back(Item{id, std::move(operation), waiter});
    if (!s.thread_started) {
      s.thread_started = true;
      std::thread worker([state = state_] { WorkerLoop(state); });
      s.thread_id = worker.get_id();
      worker.detach();
    }
    s.wake.notify_one();
  }
  constexpr auto kStopPoll = std::chrono::milliseconds(20);
  std::unique_lock<std::mutex> lock(waiter->mutex);
  while (!waiter->ended) {
    if (stop != nullptr && stop->IsSet()) return stopped;
    waiter->cv.wait_for(lock, kStopPoll);
  }
  return waiter->outcome;
}

bool CDeviceQueue::Busy() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->running || !state_->queue.empty();
}

bool CDeviceQueue::OnQueueThread() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->thread_started && state_->thread_id == std::this_thread::get_id();
}

bool CDeviceQueue::Stop(int timeout_ms) {
  State& s = *state_;
  std::unique_lock<std::mutex> lock(s.mutex);
  s.stopping = true;
  s.stop.Set();
  s.wake.notify_all();
  if (!s.thread_started) return true;
  if (s.thread_id == std::this_thread::get_id()) return false;
  return s.ended_cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&s] { return s.thread_ended; });
}

}  // namespace trx
