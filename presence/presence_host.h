#pragma once
// IPresenceHost: what the presence threads and the device read routines
// need from the main window. The main window implements it; tests use a
// recording double.
//
// Threads. Every method may be called from a worker thread (a detection or
// synchronisation thread) and, through HandlePresenceMessage, from the UI
// thread itself. From a worker, each method that touches controls or the
// window must reach the UI thread through a SENT window message and return
// only once the UI thread has done it; called on the UI thread it acts
// directly. Once shutdown has begun (the stop events are set) a sent call
// must return without waiting, or the window's wait for its workers could
// never end.
//
// Locks. No caller holds a device channel lock or ImageMutex() while calling
// a method that waits for the UI thread (the control changes, the sent read
// messages, ShowMessage, the page hooks): the UI thread takes those locks
// itself, so waiting for it while holding one could deadlock. Channel() and
// the post calls never wait.

#include <cstdint>

#include "device/device_channel.h"

namespace trx {

class IPresenceHost {
 public:
  virtual ~IPresenceHost() = default;

  // The device channel of a kind; it lives for the whole run. Any thread.
  virtual CDeviceChannel& Channel(DeviceKind kind) = 0;

  // --- control changes (sent to the UI thread; waits)
  // Shows or hides the named control ("ms_tab", "ms_deng_same_mode", ...).
  virtual void ShowControl(const char* name, bool visible) = 0;
  // Selects the named tab option (and so its page).
  virtual void SelectTab(const char* name) = 0;
  // Selects item `index` of the named combo. Changing the selection runs the
  // combo's own handler (the profile Select operation) on the UI thread.
  virtual void SelectComboItem(const char* combo, int index) = 0;
  // Hides the main window (the last device went).
  virtual void HideMainWindow() = 0;
  // Shows the main window and brings it forward, as the instance message
  // does (a device arrived after the first scan).
  virtual void ShowMainWindow() = 0;
  // Shows the modal message box with a language text id; 1 on confirm.
  virtual int ShowMessage(const char* text_id) = 0;

  // --- messages (posted: return at once)
  // Posts the registered instance message to the main window.
  virtual void PostInstanceMessage() = 0;
  // Posts kMsgAllDevicesGone (0x0C05).
  virtual void PostAllDevicesGone() = 0;
  // Starts timer `id` on the main window with the period in milliseconds.
  virtual void StartTimer(int id, int period_ms) = 0;

  // --- read requests (sent: waits until the main window has handled it)
  // Sends kMsgMouseReadAll, kMsgMouseProfileChanged, kMsgKeyboardReadAll or
  // kMsgKeyboardProfileChanged; the window calls HandlePresenceMessage.
  virtual void SendReadMessage(uint32_t message) = 0;

  // --- work owned by other parts of the program (the page hooks wait)
  // Sets the lighting engine's two refresh request flags (usage 0x403).
  // Called on the mouse synchronisation thread; must not wait for the UI.
  virtual void RequestLightingRefresh() = 0;
  // Puts the image of `kind` on its pages (mouse: the performance, DPI and
  // lighting pages; keyboard and pad: their lighting page).
  virtual void RefreshPages(DeviceKind kind) = 0;
  // Rewrites the button labels of mouse key block `key_block`.
  virtual void RefreshButtonLabels(int key_block) = 0;
  // Reads the mouse's routine memory into the routine library. Unlike the
  // page hooks this runs device I/O on the calling thread (the mouse
  // detection thread, holding the mouse channel lock) and must not wait for
  // the UI thread.
  virtual void ReadMouseRoutines() = 0;
};

}  // namespace trx
