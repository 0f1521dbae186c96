#pragma once
// CDeviceQueue: the one owner of a device. Every conversation with a device
// that is not its presence thread's own probe or connect read (the timed
// settings send, the onboard switch, Select and Restore of any profile
// family, key, macro and routine uploads, the read-all after the device's
// own buttons, defaults, a device backup, a network client's lighting
// change) is an operation submitted to that device's queue.
//
// Contract:
// - Operations run one after another, in the order submitted, on the
//   queue's own thread. Each runs with the channel lock held from its first
//   exchange to its last, so a Begin transfer ... End transfer sequence is
//   never cut into by another operation, by the presence thread or by any
//   other thread (they all take the same lock per exchange).
// - An operation builds what it sends inside `run`, after the lock is
//   taken: a copy of the image made earlier could be older than what the
//   connect read stored meanwhile.
// - A device that is connected but whose connect read has not finished
//   (`CDeviceChannel::ready` false) runs nothing: the operation ends
//   NotReady, `run` never called. A device that is not connected at all
//   runs the operation (every exchange then answers "no reply" at once), so
//   profile loads still work while it is away.
// - `done` runs on the UI thread with a typed OperationOutcome, through the
//   IUiPost given to the queue; so does the observer (the progress ring).
//   Progress reported by `run` reaches the observer the same way.
// - Stop() (shutdown) drops what is queued (their `done` never runs),
//   names its stop event for the report protocol on the queue thread so the
//   running operation ends between two exchanges, and waits at most the
//   given time; a thread still running then is let go holding only shared
//   state (the channel is shared too).
//
// Threads: Submit, Busy and Stop from any thread; RunAndWait from worker
// threads other than the UI thread and the queue's own (a program monitor).
// Nothing here waits for the UI thread, so holding the channel lock while
// posting is safe.
//
// Use:
//   queue.Submit(Operation(
//       "onboard switch", [n](OperationContext& op) { return SwitchOnboardProfile(op.Channel(), n); },
//       [this](const OperationOutcome& o) { if (!o.Ok()) ShowFailure(o); }));

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

#include "device/commands.h"
#include "device/device_channel.h"
#include "platform/event.h"
#include "platform/progress_reporter.h"

namespace trx {

// What an operation's `run` returns: the result enum of the layer it calls
// (CommandResult, OnboardSwitchResult, pages' UploadResult, ...), carried
// with its value; `As<E>()` gives it back. Every such enum has its success
// at the value of CommandResult::Ok.
class OperationCode {
 public:
  constexpr OperationCode() = default;
  template <typename E>
    requires std::is_enum_v<E>
  constexpr OperationCode(E result) : value_(static_cast<int>(result)) {}  // implicit: `return SomeResult::X;`

  template <typename E>
    requires std::is_enum_v<E>
  constexpr E As() const {
    return static_cast<E>(value_);
  }
  constexpr bool Succeeded() const { return value_ == static_cast<int>(CommandResult::Ok); }
  // The number, for debug lines.
  constexpr int Code() const { return value_; }

  friend constexpr bool operator==(OperationCode, OperationCode) = default;
  template <typename E>
    requires std::is_enum_v<E>
  friend constexpr bool operator==(OperationCode code, E result) {
    return code.value_ == static_cast<int>(result);
  }

 private:
  int value_ = static_cast<int>(CommandResult::NoReply);
};

// The result of an operation that keeps its own report (a backup, a
// restore): whether it did what it was for.
enum class OperationResult : int { Succeeded = 1, Failed = 0 };

enum class OperationStatus : int {
  Ran = 0,       // run() returned; OperationOutcome::result is its code
  NotReady = 1,  // connected, connect read not finished: nothing sent
  Stopped = 2,   // the queue stopped before the operation ran (RunAndWait only)
};
const char* OperationStatusName(OperationStatus status);

// What the UI thread learns about a finished operation.
struct OperationOutcome {
  DeviceKind kind = DeviceKind::Mouse;
  uint64_t id = 0;
  const char* name = "";
  OperationStatus status = OperationStatus::Ran;
  OperationCode result;  // run()'s result when Ran; CommandResult::NoReply otherwise
  bool progress = false;  // the operation shows the progress ring
  bool Ok() const { return status == OperationStatus::Ran && result.Succeeded(); }
};

// Progress of a running operation that shows the ring: `done` of `total`.
struct OperationProgress {
  DeviceKind kind = DeviceKind::Mouse;
  uint64_t id = 0;
  int done = 0;
  int total = 1;
};

// Runs a call on the UI thread later, in the order posted. False (and the
// call dropped) when there is no UI thread any more. Any thread.
class IUiPost {
 public:
  virtual ~IUiPost() = default;
  virtual bool Post(std::function<void()> call) = 0;
};

// Sees every operation's progress and end. UI thread.
class IOperationObserver {
 public:
  virtual ~IOperationObserver() = default;
  virtual void OnOperationProgress(const OperationProgress& progress) = 0;
  virtual void OnOperationFinished(const OperationOutcome& outcome) = 0;
};

// What `run` gets: the channel (its lock held), the progress and the stop
// request. Queue thread only.
class OperationContext : public IProgressReporter {
 public:
  virtual CDeviceChannel& Channel() = 0;
};

struct DeviceOperation {
  const char* name = "device operation";  // debug lines and outcomes; a literal
  // Returns its layer's result (success: the value of CommandResult::Ok).
  // Queue thread.
  std::function<OperationCode(OperationContext&)> run;
  // UI thread, after `run` (or NotReady). May be empty.
  std::function<void(const OperationOutcome&)> done;
  // The progress ring follows the operation.
  bool progress = false;
};

// The usual way to write one.
inline DeviceOperation Operation(const char* name, std::function<OperationCode(OperationContext&)> run,
                                 std::function<void(const OperationOutcome&)> done = {}, bool progress = false) {
  return DeviceOperation{name, std::move(run), std::move(done), progress};
}

class CDeviceQueue {
 public:
  // `ui` and `observer` may be null (no UI: `done` is not called then).
  // The observer must outlive the queue's Stop.
  CDeviceQueue(std::shared_ptr<CDeviceChannel> channel, std::shared_ptr<IUiPost> ui,
               IOperationObserver* observer = nullptr);
  ~CDeviceQueue();  // Stop(kDefaultStopMs)
  CDeviceQueue(const CDeviceQueue&) = delete;
  CDeviceQueue& operator=(const CDeviceQueue&) = delete;

  static constexpr int kDefaultStopMs = 3000;

  DeviceKind Kind() const;
  // Queues the operation; its id (> 0), or 0 when refused (stopped, or no
  // `run`). The thread starts with the first submission.
  uint64_t Submit(DeviceOperation operation);
  // Submits and waits until it ended, `stop` is set or the queue stopped
  // (then Stopped). `done` still runs on the UI thread. Not on the UI
  // thread, not on the queue's thread.
  OperationOutcome RunAndWait(DeviceOperation operation, const CEvent* stop);
  // True while an operation is queued or running.
  bool Busy() const;
  // True on the queue's own thread.
  bool OnQueueThread() const;
  // See above; true when the thread ended within timeout_ms.
  bool Stop(int timeout_ms = kDefaultStopMs);

  struct State;  // the implementation's, shared with the queue thread

 private:
  std::shared_ptr<State> state_;
};

}  // namespace trx
