#pragma once
// What the user is told about devices that are plugged in but can't be
// opened, run by the window's access timer: the end of a rule
// installation it started ("message_access_3"/"_4"), then each new
// problem once per plug-in (app/access_help.h): "message_access_5" when a
// rule is installed already, else the offer to install the packaged rule
// ("message_access_1", a question) or the manual command
// ("message_access_2").
//
// UI thread. The timer keeps running under the modal boxes: a check while
// one is open does nothing.

#include "app/access_help.h"
#include "ui/window/win_api.h"

namespace trx::app {

class CAccessPrompt {
 public:
  // `owner`: the window the message boxes belong to.
  void Check(ui::HWND owner);

 private:
  AccessHelp help_;
  bool box_open_ = false;
};

}  // namespace trx::app
