#pragma once
// The order of the program's start at "windowinit" (the first paint):
// the stored look and data first, then the channels' identities with every
// device marked away, the machine's language into the main INI, the window
// hidden, the program links and the session-bus API (their users come
// next), the workers in their fixed order with the settings-send timer
// opened between the two groups (it runs only while a send waits), the preview and access-check timers, the OpenRGB
// server when stored on, and last the language texts once more (the
// language file may have changed meanwhile).
//
// The window supplies each step; this file only decides their order and
// which run. UI thread.

#include <functional>

#include "ui/window/win_types.h"

namespace trx::app {

struct StartSteps {
  std::function<void()> apply_stored_skin;
  std::function<void()> load_profiles;
  std::function<void()> reset_channels;  // identities applied, nothing connected
  std::function<void()> store_machine_language;
  std::function<void()> hide;
  std::function<void()> start_program_links;
  std::function<void()> start_session_bus;
  std::function<void(int slot)> start_worker;
  std::function<void(ui::UINT_PTR timer, ui::UINT period_ms)> set_timer;
  std::function<void()> open_send_timer;     // runs at once when a send waits already
  std::function<void()> start_access_check;  // the first look and the device folder watch
  std::function<bool()> openrgb_stored_on;
  std::function<void()> start_openrgb;
  std::function<void()> reload_language;
  bool presence_threads = true;  // the preview timer (and the access check)
  bool access_help = true;       // the access check, with the presence threads
};

void RunStartOrder(const StartSteps& steps);

}  // namespace trx::app
