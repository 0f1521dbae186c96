#pragma once
// The order in which the program stops: once when the window is destroyed
// (WM_DESTROY) and once more when the window object goes (its destructor,
// which also covers a window never shown or destroyed).
//
// WM_DESTROY: shutdown is marked begun (sent calls from workers return at
// once from here on), the OpenRGB server stops, the window hides, the
// device queues stop (no page's completion runs after), the workers are
// stopped together within the stop timeout, then the session-bus API stops
// (a worker let go may still report to it), the settings-send timer and
// the access check go, and the quit message is posted.
//
// The destructor: the tray menu goes and the input hooks are removed; a
// window still alive is destroyed the WM_DESTROY way; the same stops run
// again (each does nothing the second time); then the workers' proxies are
// detached, so a worker let go reaches nothing freed, the program links
// stop, and only when no worker still runs are the channels reset; last
// the tray icon, the skin observer and the window's registrations.
//
// The window supplies each step; this file only decides their order. UI
// thread.

#include <functional>

#include "app/worker_threads.h"

namespace trx::app {

struct ShutdownSteps {
  std::function<void()> mark_stopping;
  std::function<void()> stop_openrgb;
  std::function<void()> hide;
  std::function<void()> stop_queues;
  std::function<StopResult()> stop_workers;
  std::function<void()> stop_session_bus;
  std::function<void()> stop_timers;
  std::function<void()> post_quit;
};

// WM_DESTROY.
void RunShutdownOrder(const ShutdownSteps& steps);

struct TeardownSteps {
  std::function<void()> drop_tray_menu;
  std::function<void()> remove_input;  // key observer and hooks
  std::function<void()> destroy_window_if_alive;
  std::function<void()> mark_stopping;
  std::function<void()> stop_openrgb;
  std::function<void()> stop_queues;
  std::function<void()> stop_workers;
  std::function<void()> detach_workers;  // the presence proxy
  std::function<int()> running_workers;
  std::function<void(bool no_worker_running)> stop_program_links;
  std::function<void()> reset_channels;
  std::function<void()> unregister;  // tray icon, observers, handles
};

// The window object's destructor.
void RunTeardownOrder(const TeardownSteps& steps);

}  // namespace trx::app
