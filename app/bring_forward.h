#pragma once
// When the window comes forward: a second start of the program (the
// instance message) and a click on the tray icon. With a device connected
// the window is restored and raised (from the tray also shown and
// repainted); without one it stays hidden and "message_text_1" says so,
// one box at a time per path. Without a system tray a second start is the
// only way back to the window, so it is shown even with no device.
//
// UI thread.

#include <functional>

namespace trx::app {

class CBringForward {
 public:
  // The window's side of it.
  struct Window {
    std::function<bool()> any_device;     // a device is connected
    std::function<bool()> no_tray;        // the desktop has no system tray
    std::function<void()> show;           // shown (not yet raised)
    std::function<void()> raise;          // restored and raised
    std::function<void()> repaint_soon;   // repainted now and once more shortly
    std::function<void()> hide;
    std::function<void()> tell_no_device; // the modal "message_text_1"
  };
  explicit CBringForward(Window window) : window_(std::move(window)) {}

  void OnInstance();
  void FromTray();

 private:
  // Runs the modal notice unless the path's own one is open.
  void TellOnce(bool& open);

  Window window_;
  bool instance_box_open_ = false;
  bool tray_box_open_ = false;
};

}  // namespace trx::app
