#pragma once
// CDeviceFolderWatch: a thread that waits on a change watch of the HID
// device folder (IHidBackend::WatchChanges: inotify on /dev) and calls
// `on_change` whenever hidraw nodes appear, go or change their access. The
// main window's access check runs from it instead of listing the interfaces
// on a timer, so nothing wakes while nothing is plugged in.
//
// When the watch breaks (its folder went away) `on_change` is called once
// more and Broken() turns true; the caller then looks on a timer again.
//
// Threads: `on_change` runs on the watch thread and must not wait for the
// UI thread (ui::SetTimer and PostMessage are fine). Create, Broken and the
// destructor (which stops and joins the thread) on any one thread.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "device/hid_backend.h"
#include "platform/event.h"

namespace trx::app {

class CDeviceFolderWatch {
 public:
  // Null when `watch` is null or the stop event can't be made.
  static std::unique_ptr<CDeviceFolderWatch> Create(std::unique_ptr<IHidChangeWatch> watch,
                                                    std::function<void()> on_change);
  ~CDeviceFolderWatch();
  CDeviceFolderWatch(const CDeviceFolderWatch&) = delete;
  CDeviceFolderWatch& operator=(const CDeviceFolderWatch&) = delete;

  bool Broken() const { return broken_.load(); }

 private:
  CDeviceFolderWatch(std::unique_ptr<IHidChangeWatch> watch, std::function<void()> on_change)
      : watch_(std::move(watch)), on_change_(std::move(on_change)) {}
  void Run();

  std::unique_ptr<IHidChangeWatch> watch_;  // used by the thread only
  std::function<void()> on_change_;
  CEvent stop_{CEvent::Reset::Manual};
  std::atomic<bool> broken_{false};
  std::thread thread_;
};

}  // namespace trx::app
