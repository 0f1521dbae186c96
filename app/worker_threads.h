#pragma once
// The main window's fourteen worker threads: one slot per thread, each with
// its own manual-reset stop event, started in a fixed order and stopped
// together with one bounded wait.
//
//   index  thread                                   index  thread
//   0      mouse presence                           7      mouse-pad light
//   1      keyboard presence                        8      light synchronisation
//   2      mouse-pad presence                       9      keyboard light-profile program link
//   3      mouse sync (device notifications)        10     keyboard key-profile program link
//   4      keyboard sync                            11     mouse device-profile program link
//   5      keyboard light                           12     mouse key-profile program link
//   6      mouse light                              13     mouse-pad light-profile program link
//
// A slot whose body is not given stays empty: nothing is started for it.
//
// Threads: Start and StopAll on the UI thread. The bodies run on their own
// threads and must return once their stop event is set; each body runs with
// its stop event named for the report protocol (device/exchange_stop.h), so
// device sequences end between two exchanges at shutdown.

#include <array>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/event.h"

namespace trx::app {

inline constexpr int kWorkerCount = 14;
enum WorkerIndex : int {
  kWorkerMousePresence = 0,
  kWorkerKeyboardPresence = 1,
  kWorkerPadPresence = 2,
  kWorkerMouseSync = 3,
  kWorkerKeyboardSync = 4,
  kWorkerKeyboardLight = 5,
  kWorkerMouseLight = 6,
  kWorkerPadLight = 7,
  kWorkerLightSync = 8,
  kWorkerKbLightLink = 9,
  kWorkerKbKeyLink = 10,
  kWorkerMsDeviceLink = 11,
  kWorkerMsKeyLink = 12,
  kWorkerMpLightLink = 13,
};
// Start order: these first, then the settings timer, then the program links.
inline constexpr std::array<int, 9> kStartOrderBeforeTimer{1, 0, 2, 3, 4, 5, 6, 7, 8};
inline constexpr std::array<int, 5> kStartOrderAfterTimer{9, 10, 11, 12, 13};
// How long the window waits for all workers at shutdown.
inline constexpr int kWorkerStopTimeoutMs = 10000;

enum class StopResult { AllEnded, TimedOut };

class WorkerThreads {
 public:
  using Body = std::function<void(CEvent& stop)>;

  WorkerThreads();
  // Stops whatever still runs (same bound as StopAll).
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Installs the body of a slot (before Start). An empty body leaves it empty.
  void SetBody(int index, Body body);
  bool HasBody(int index) const;
  // Starts the slot's body on a new thread, if it has one and is not running.
  // The stop event is reset first. False when nothing was started.
  bool Start(int index);
  bool IsStarted(int index) const;
  // The slot's stop event (lives as long as this object; a thread still
  // running after a timed-out stop keeps its own reference).
  CEvent& StopEvent(int index);

  // Sets every stop event, then waits for every started thread together,
  // at most timeout_ms in all. Threads that ended are joined; the others
  // are let go (detached) so the process can still exit. A thread let go
  // is not waited for by a later call (the destructor's returns at once).
  StopResult StopAll(int timeout_ms = kWorkerStopTimeoutMs);
  // Threads still running, those let go included.
  int RunningCount() const;

 private:
  struct Shared {
    std::mutex mutex;  // guards running
    std::condition_variable ended;
    int running = 0;
  };
  struct Slot {
    Body body;
    std::shared_ptr<CEvent> stop = std::make_shared<CEvent>(CEvent::Reset::Manual);
    std::shared_ptr<bool> done;  // written under Shared::mutex
    std::thread thread;
  };
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  std::array<Slot, kWorkerCount> slots_;
};

}  // namespace trx::app
