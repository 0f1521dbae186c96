#include "app/program_links.h"

#include "platform/debug_log.h"
#include "platform/foreground/foreground_choice.h"
#include "profile/link_monitor.h"

namespace trx::app {

void CProgramLinks::Start(bool monitors, std::shared_ptr<foreground::IForegroundSource> given, Wiring wiring) {
  if (!monitors && !given) return;
  wiring_ = std::move(wiring);
  source_ = given ? std::move(given)
                  : std::shared_ptr<foreground::IForegroundSource>(
                        foreground::CreateForegroundSource(foreground::ForegroundSessionFromEnvironment()));
  wiring_.page->SetLinkingPending();
  start_ = std::thread([this, source = source_, post = wiring_.post] {
    foreground::ForegroundUnavailable why;
    const bool started = source->Start(&why);
    if (!post->Post([this, started, why] { Answered(started, why); })) {
      DebugLine("program links: the window closed before the desktop answered");
      return;
    }
    if (started || !source->CanStartLater()) return;
    // The extension enabled or the KWin script loadable later: follow it
    // instead of waiting for a restart.
    const bool later = source->StartWhenAvailable(stop_, [this, post](const foreground::ForegroundUnavailable& off) {
      post->Post([this, off] { Answered(false, off); });
    });
    if (later) post->Post([this] { Answered(true, {}); });
  });
}

void CProgramLinks::Answered(bool started, const foreground::ForegroundUnavailable& why) {
  if (wiring_.stopping()) return;
  if (!started) {
    DebugLineF("program links off (%s): %s", source_->Name(), why.detail.c_str());
    wiring_.page->SetLinkingUnavailable(why.text_id);
    return;
  }
  DebugLineF("program in front from the %s backend", source_->Name());
  wiring_.page->SetForegroundSource(source_.get());
  wiring_.page->SetLinkingAvailable();
  selector_->Attach(wiring_.select);
  constexpr int kSlots[kLinkMonitorCount] = {kWorkerKbLightLink, kWorkerKbKeyLink, kWorkerMsDeviceLink, kWorkerMsKeyLink,
                                             kWorkerMpLightLink};
  for (int i = 0; i < kLinkMonitorCount; ++i) {
    wiring_.workers->SetBody(kSlots[i], [family = &LinkMonitorFamily(i), source = source_, selector = selector_](CEvent& stop) {
      LinkMonitorParam param;
      param.family = family;
      param.source = source.get();
      param.selector = selector.get();
      param.stop = &stop;
      LinkMonitorThread(param);
    });
    if (wiring_.workers_started()) wiring_.workers->Start(kSlots[i]);
  }
  monitored_.store(source_.get());
}

void CProgramLinks::DeviceConnected() {
  if (foreground::IForegroundSource* source = monitored_.load()) source->Poke();
}

void CProgramLinks::Stop(bool no_worker_running) {
  if (stopped_) return;
  stopped_ = true;
  monitored_.store(nullptr);
  selector_->Detach();
  stop_.Set();  // a watch for the desktop's script ends at once
  if (start_.joinable()) start_.join();
  if (source_ && no_worker_running) source_->Stop();
}

}  // namespace trx::app
