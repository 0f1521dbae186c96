#pragma once
// The program links: which desktop backend says what program is in front,
// its start off the UI thread, and the five link monitors once it answered.
//
// Start chooses the source (the one given, else the session's backend,
// platform/foreground/foreground_choice.h) and starts it on a one-shot
// thread, because loading the KWin script or asking GNOME Shell waits on
// the session bus; the link controls wait disabled meanwhile. The answer
// comes back through the UI post: a refusal shows why the links are off,
// a start installs the five monitors in their worker slots (started at once
// when the workers run already, else in their place in the start order).
// When the desktop's script is missing, the start thread goes on watching
// for it and posts each new reason, then the start.
// The monitors hold the select proxy and the source, never the window.
//
// Threads: Start and Stop on the UI thread; the answer runs there too.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "app/link_selector.h"
#include "app/worker_threads.h"
#include "device/device_queue.h"
#include "platform/event.h"
#include "pages/profile_link_page.h"
#include "platform/foreground/foreground_source.h"

namespace trx::app {

class CProgramLinks {
 public:
  struct Wiring {
    WorkerThreads* workers = nullptr;
    pages::CProfileLinkPage* page = nullptr;
    std::shared_ptr<IUiPost> post;
    std::function<bool()> stopping;         // shutdown has begun: the answer is dropped
    std::function<bool()> workers_started;  // the workers' start order ran
    LinkSelectProxy::Select select;         // on a monitor thread
  };

  CProgramLinks() = default;
  ~CProgramLinks() { Stop(false); }
  CProgramLinks(const CProgramLinks&) = delete;
  CProgramLinks& operator=(const CProgramLinks&) = delete;

  // Nothing happens when `monitors` is false and no source is given.
  void Start(bool monitors, std::shared_ptr<foreground::IForegroundSource> given, Wiring wiring);
  // Shutdown, once the queues are stopped: monitors still running reach
  // nothing any more, a start still waiting is joined (it ends within its
  // calls' timeouts), and the source is stopped when `no_worker_running`.
  void Stop(bool no_worker_running);
  // A device has been connected, read and made ready for operations:
  // monitors waiting for it look again at once. Any thread.
  void DeviceConnected();

 private:
  void Answered(bool started, const foreground::ForegroundUnavailable& why);

  Wiring wiring_;
  // Shared with the monitors: one let go keeps them.
  std::shared_ptr<LinkSelectProxy> selector_ = std::make_shared<LinkSelectProxy>();
  std::shared_ptr<foreground::IForegroundSource> source_;
  std::thread start_;  // runs source_->Start; joined before source_->Stop
  // Ends start_'s watch for the desktop's script (manual reset; set at Stop).
  CEvent stop_{CEvent::Reset::Manual};
  bool stopped_ = false;
  // source_ once the monitors run on it, for DeviceConnected (set and cleared on
  // the UI thread; source_ outlives every reader).
  std::atomic<foreground::IForegroundSource*> monitored_{nullptr};
};

}  // namespace trx::app
