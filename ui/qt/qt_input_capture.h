#pragma once
// The input capture of the Qt backend: an application-wide event filter
// that, while the hooks are installed, hands every key and mouse event
// delivered to the program's windows to the hook owner (platform/
// input_hooks.h). Works on X11 and Wayland and needs no privileges; input
// meant for other programs is not seen.
//
// - Keys: the X keycode (nativeScanCode: evdev code + 8 on both) is
//   translated by the one table of platform/key_translation.h to the
//   virtual key, scan code and extended flag; Alt held without Ctrl makes
//   the system-key messages (0x104/0x105). Releases of auto-repeat are
//   dropped (the recorder drops the repeated presses). A key the hook
//   swallows reaches no widget.
// - Mouse: press and release of the five buttons, moves and wheel turns
//   as their window messages; they always pass on. A double click arrives
//   as its second press (Qt's extra double-click event is not forwarded).
// Each event is taken once, at the native window that receives it first.
// A key observer (SetKeyObserver) is told of every key press first, while
// the filter is installed for it alone or for the hooks as well.
//
// Thread: the UI thread.

#include <QObject>

#include "platform/input_hooks.h"

class QKeyEvent;
class QMouseEvent;

namespace trx::ui::qt {

class QtInputCapture : public QObject, public IInputSource {
 public:
  QtInputCapture() = default;
  ~QtInputCapture() override;

  bool Start(CDeviceHook& hook, bool keyboard, bool mouse) override;
  void Stop() override;
  void SetKeyObserver(IKeyObserver* observer) override;

  // The translation, for tests: false when the key is not in the table.
  static bool RecordFromKeyEvent(const QKeyEvent& event, uint32_t& wparam, KeyEventRecord& record);
  // 0 for events that are not forwarded.
  static uint32_t MessageFromMouseEvent(const QEvent& event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateFilter();  // installed while the hooks or the observer need it

  CDeviceHook* hook_ = nullptr;
  IKeyObserver* observer_ = nullptr;
  bool keyboard_ = false;
  bool mouse_ = false;
  bool installed_ = false;
};

}  // namespace trx::ui::qt
