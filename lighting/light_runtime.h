#pragma once
// LightingRuntime: the four lighting threads' bodies (synchronised, mouse,
// mouse pad, keyboard) around the effect engines, and the newest preview
// frame they publish for the UI thread.
//
// Computing and drawing are split: each thread computes its family's tints
// into its own frame and copies its slot range into the published frame;
// the UI thread takes the newest frame on a timer (TakeFrame) and tints the
// preview controls itself, so the interface library's controls stay
// UI-thread-only and no message is posted per LED.
//
// Nothing is computed while the preview is not shown (window hidden or
// minimised, or no lighting page on screen): the threads wait on the shown
// event, their stop event ending that wait too. A family thread also waits
// while its own family's preview is off screen (another device's page is
// shown); the synchronised thread runs while any preview is shown. Every
// sleep is a wait on the stop event.
//
// Threads: the Run* bodies each on their own worker thread (one thread per
// body). Everything else: any thread (the UI thread in the program).

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <mutex>

#include "device/device_channel.h"
#include "lighting/engines.h"
#include "platform/event.h"

namespace trx::lighting {

inline constexpr int kFirstCycleDelayMs = 3000;

class LightingRuntime {
 public:
  // The channels give the `connected` and `follows synchronised lighting`
  // flags; they must outlive the threads. first_delay_ms: the family
  // threads' wait before their first cycle.
  LightingRuntime(CDeviceChannel& mouse, CDeviceChannel& pad, CDeviceChannel& keyboard,
                  int first_delay_ms = kFirstCycleDelayMs);

  void RunSync(CEvent& stop);
  void RunMouse(CEvent& stop);
  void RunPad(CEvent& stop);
  void RunKeyboard(CEvent& stop);

  // Whether anyone sees the preview; false pauses all four threads, true
  // runs them all.
  void SetShown(bool shown);
  // Which families' previews are on screen: the family threads of the
  // others wait; the synchronised thread runs while any is.
  void SetFamiliesShown(bool mouse, bool pad, bool keyboard);
  bool FamilyShown(DeviceKind kind) const { return FamilyEvent(kind).IsSet(); }
  bool Shown() const { return shown_.IsSet(); }
  // Copies the newest frame into `out` when it changed since `generation`
  // (updated); false when there is nothing new.
  bool TakeFrame(Frame& out, uint64_t& generation) const;
  uint64_t Generation() const;

  // Mouse slots whose control is visible (bit per slot 0-19).
  void SetMouseVisible(uint32_t mask) { mouse_visible_.store(mask, std::memory_order_relaxed); }
  // The mouse's usage 0x403: the reactive flash starts at the next cycle.
  void TriggerMouseFlash() { mouse_trigger_.store(true, std::memory_order_relaxed); }
  // A key press (key LED number 0-125) for the keyboard's reactive modes.
  void MarkKey(int led);
  // Restart requests, applied by the thread at its next cycle.
  void RestartFamily(DeviceKind kind, int position, bool first_group);
  void ResetKeyboard(int mode);

 private:
  void Publish(const Frame& local, int first, int count);
  // Waits until `shown` is set; false when the stop event was set.
  static bool WaitShown(CEvent& stop, const CEvent& shown);
  bool WaitShown(CEvent& stop) { return WaitShown(stop, shown_); }
  const CEvent& FamilyEvent(DeviceKind kind) const;
  static int64_t NowMs();

  CDeviceChannel& mouse_;
  CDeviceChannel& pad_;
  CDeviceChannel& keyboard_;
  const int first_delay_ms_;
  CEvent shown_{CEvent::Reset::Manual};  // any preview shown
  CEvent mouse_shown_{CEvent::Reset::Manual}, pad_shown_{CEvent::Reset::Manual},
      keyboard_shown_{CEvent::Reset::Manual};

  mutable std::mutex frame_mutex_;  // guards frame_, generation_; a leaf lock
  Frame frame_;
  uint64_t generation_ = 0;

  std::mutex marks_mutex_;  // guards marks_; a leaf lock
  std::bitset<126> marks_;

  std::atomic<uint32_t> mouse_visible_{0xFFFFF};
  std::atomic<bool> mouse_trigger_{false};
  // Restart requests: position + 1 (0: none); first-group flag for the pad.
  std::atomic<int> mouse_restart_{0}, pad_restart_{0}, keyboard_restart_{0};
  std::atomic<bool> pad_first_group_{false};
  std::atomic<int> keyboard_reset_mode_{-2};  // -2: none
};

}  // namespace trx::lighting
