#pragma once
// IPresenceHost: what the presence threads and the device read routines
// need from the main window. The main window implements it; tests use a
// recording double.
//
// Threads. Every method may be called from a worker thread (a detection or
// synchronisation thread) and, through HandlePresenceMessage, from the UI
// thread itself. The host turns the device events into control changes (the
// presence layer names no control). From a worker, each method that touches
// controls or the window must reach the UI thread through a SENT window message and return
// only once the UI thread has done it; called on the UI thread it acts
// directly. Once shutdown has begun (the stop events are set) a sent call
// must return without waiting, or the window's wait for its workers could
// never end.
//
// Locks. No caller holds a device channel lock or ImageMutex() while calling
// a method that waits for the UI thread (the device events, the sent read
// messages, ShowMessage): the UI thread takes those locks
// itself, so waiting for it while holding one could deadlock. Channel() and
// the post calls never wait.

#include <cstdint>

#include "device/device_channel.h"
#include "presence/presence_events.h"

namespace trx {

class IPresenceHost {
 public:
  virtual ~IPresenceHost() = default;

  // The device channel of a kind; it lives for the whole run. Any thread.
  virtual CDeviceChannel& Channel(DeviceKind kind) = 0;

  // --- device events (sent to the UI thread; wait). The host decides what
  // the window shows for them: tabs, combos, pages.
  // A device was found, opened and read; `result` says what the read found
  // and which stored profiles are selected.
  virtual void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) = 0;
  // A device went; `plan` says which device's tab takes over, and whether
  // the window hides or the "all devices gone" notice follows.
  virtual void OnDeviceLeft(const RemovalPlan& plan) = 0;
  // Whether a connected device now follows the synchronised lighting
  // (another device of the group is connected). Sent only on a change.
  virtual void OnSameModeChanged(DeviceKind kind, bool follows) = 0;
  // The image of `kind` was read again (a read message): its pages show it.
  virtual void OnDeviceRead(DeviceKind kind) = 0;
  // Shows the main window and brings it forward, as the instance message
  // does (a device arrived after the first scan).
  virtual void ShowMainWindow() = 0;
  // Shows the modal message box with a language text id; 1 on confirm.
  virtual int ShowMessage(const char* text_id) = 0;

  // --- messages (posted: return at once)
  // Posts the registered instance message to the main window.
  virtual void PostInstanceMessage() = 0;
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
  // Reads the mouse's routine memory into the routine library. Unlike the
  // page hooks this runs device I/O on the calling thread (the mouse
  // detection thread, holding the mouse channel lock) and must not wait for
  // the UI thread.
  virtual void ReadMouseRoutines() = 0;
};

}  // namespace trx
