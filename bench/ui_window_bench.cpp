// The window layer's message queue: posting and dispatching on the UI
// thread, a send from a worker waiting for the UI thread, and a timer tick
// on the controllable clock.

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "ui/window/message_queue.h"
#include "ui/window/messages.h"
#include "ui/window/win_api.h"
#include "ui/window/window_wnd.h"

namespace {

using namespace trx::ui;

class SinkWindow : public CWindowWnd {
 public:
  std::atomic<long> handled{0};

 protected:
  const char* GetWindowClassName() const override { return "Sink"; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg >= WM_USER) {
      handled.fetch_add(1, std::memory_order_relaxed);
      return static_cast<LRESULT>(wparam);
    }
    return DefWindowProc(msg, wparam, lparam);
  }
};

void Fresh(bool manual_clock) {
  CMessageQueue& q = CMessageQueue::Instance();
  q.ResetForTest();
  q.BindToCurrentThread();
  if (manual_clock) q.UseManualClock(0);
}

// 100 posts then one drain: the cost of one posted message end to end.
void BM_PostAndDispatch(benchmark::State& state) {
  Fresh(false);
  SinkWindow w;
  const HWND hwnd = w.Create(nullptr, "sink", 0, 0);
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) PostMessage(hwnd, WM_USER, i, 0);
    CMessageQueue::Instance().ProcessPending();
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_PostAndDispatch);

// A worker's SendMessage round trip while the UI thread drains the queue.
void BM_CrossThreadSend(benchmark::State& state) {
  Fresh(false);
  SinkWindow w;
  const HWND hwnd = w.Create(nullptr, "sink", 0, 0);
  std::atomic<bool> stop{false};
  std::atomic<bool> bound{false};
  std::thread ui([&] {
    // The benchmark thread plays the worker; this thread is the UI thread.
    CMessageQueue::Instance().BindToCurrentThread();
    bound = true;
    CMessageQueue::Instance().RunUntil([&] { return stop.load(); });
  });
  while (!bound) std::this_thread::yield();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(hwnd, WM_USER, 7, 0));
  stop = true;
  CMessageQueue::Instance().Wake();
  ui.join();
  CMessageQueue::Instance().BindToCurrentThread();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CrossThreadSend)->UseRealTime();

// One 100 ms timer tick on the virtual clock.
void BM_VirtualTimerTick(benchmark::State& state) {
  Fresh(true);
  SinkWindow w;
  const HWND hwnd = w.Create(nullptr, "sink", 0, 0);
  SetTimer(hwnd, 2, 100);
  for (auto _ : state) CMessageQueue::Instance().AdvanceTime(100);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VirtualTimerTick);

}  // namespace

BENCHMARK_MAIN();
