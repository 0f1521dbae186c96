#pragma once
// PresenceHostProxy: the IPresenceHost the worker threads hold instead of
// the main window itself.
//
// It owns the three device channels (shared with the window, which uses
// them on the UI thread) and forwards every other call to the window while
// the window is attached. Each worker's body keeps its own reference to the
// proxy, so a worker still running after the window's bounded wait at
// shutdown (one stuck in a device transfer) keeps its channels, their locks
// and transports alive, and its later calls toward the window do nothing.
// Nothing a worker can still reach is freed while it runs.
//
// Threads: the IPresenceHost calls from any thread. Attach and Detach on
// the UI thread; Detach waits for calls already inside the window to
// return, so call it once the window can no longer make them wait (after
// the window is destroyed or quit was posted: sent calls then return at once).

#include <condition_variable>
#include <memory>
#include <mutex>

#include "presence/presence_host.h"

namespace trx::app {

class PresenceHostProxy final : public IPresenceHost {
 public:
  PresenceHostProxy(std::shared_ptr<CDeviceChannel> keyboard, std::shared_ptr<CDeviceChannel> mouse,
                    std::shared_ptr<CDeviceChannel> pad);

  void Attach(IPresenceHost* window);
  void Detach();

  CDeviceChannel& Channel(DeviceKind kind) override;
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) override;
  void OnDeviceLeft(const RemovalPlan& plan) override;
  void OnSameModeChanged(DeviceKind kind, bool follows) override;
  void OnDeviceRead(DeviceKind kind) override;
  void ShowMainWindow() override;
  int ShowMessage(const char* text_id) override;
  void PostInstanceMessage() override;
  void StartTimer(int id, int period_ms) override;
  void SendReadMessage(uint32_t message) override;
  void RequestLightingRefresh() override;
  void ReadMouseRoutines() override;

 private:
  // The attached window for the length of one forwarded call; false when
  // detached (the call is dropped).
  class Lease {
   public:
    explicit Lease(PresenceHostProxy& proxy);
    ~Lease();
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    explicit operator bool() const { return window_ != nullptr; }
    IPresenceHost* operator->() const { return window_; }

   private:
    PresenceHostProxy& proxy_;
    IPresenceHost* window_;
  };

  std::shared_ptr<CDeviceChannel> keyboard_;
  std::shared_ptr<CDeviceChannel> mouse_;
  std::shared_ptr<CDeviceChannel> pad_;
  // Guards window_ and in_flight_. A leaf lock: never held during a call.
  std::mutex mutex_;
  std::condition_variable idle_;
  IPresenceHost* window_ = nullptr;
  int in_flight_ = 0;
};

}  // namespace trx::app
