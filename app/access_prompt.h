#pragma once
// What the user is told about devices that are plugged in but can't be
// opened, run by the window's access timer (8): the end of a rule
// installation it started ("message_access_3"/"_4"), then each new
// problem once per plug-in (app/access_help.h): "message_access_5" when a
// rule is installed already, else the offer to install the packaged rule
// ("message_access_1", a question) or the manual command
// ("message_access_2").
//
// The timer runs only when there is something to look at: once at start,
// then 2 s after each change of the device folder (a watch thread sets it
// again), every period only while a rule install runs, without a watch,
// or when a change came during a check.
//
// UI thread (Start, Check, Stop). The timer keeps running under the modal
// boxes: a check while one is open only asks for another look after it.

#include <atomic>
#include <memory>

#include "app/access_help.h"
#include "app/device_folder_watch.h"
#include "ui/window/win_api.h"

namespace trx::app {

class CAccessPrompt {
 public:
  // Sets the timer for the first look and starts watching the device
  // folder. `owner`: the window the timer and the message boxes belong to.
  void Start(ui::HWND owner);
  // The timer's tick: looks, asks, and stops the timer when nothing is left
  // to look for.
  void Check(ui::HWND owner);
  // Stops the watch and the timer.
  void Stop(ui::HWND owner);

 private:
  AccessHelp help_;
  bool box_open_ = false;
  bool recheck_ = false;  // a tick came while a box was up
  // Set by the watch thread when the device folder changed.
  std::shared_ptr<std::atomic<bool>> changed_ = std::make_shared<std::atomic<bool>>(false);
  std::unique_ptr<CDeviceFolderWatch> watch_;
};

}  // namespace trx::app
