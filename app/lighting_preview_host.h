#pragma once
// LightingPreviewHost: the main window's side of the lighting preview. It
// owns the lighting runtime (the four lighting threads' state), installs
// their bodies in the worker table, installs itself as the pages' preview
// hook, and on the frame timer tints the preview controls with the newest
// frame (one timer tick per frame, never a message per LED).
//
// UI thread, except the runtime's thread bodies.

#include <memory>

#include "app/worker_threads.h"
#include "lighting/light_runtime.h"
#include "platform/input_hooks.h"
#include "pages/key_lights.h"
#include "pages/lighting_preview.h"

namespace trx::app {

// Frame timer: 20 frames a second (each frame repaints up to 161 tinted
// images on the UI thread, the preview's main cost).
inline constexpr int kTimerPreviewFrame = 22;
inline constexpr int kPreviewFramePeriodMs = 50;
// While no preview is on screen the timer only looks whether one is back;
// while the window is hidden or minimised it stops (period 0: the window
// starts it again when it is shown or restored).
inline constexpr int kPreviewPausedPeriodMs = 250;
inline constexpr int kPreviewHiddenPeriodMs = 0;

class LightingPreviewHost : public pages::ILightingPreview, public IKeyObserver {
 public:
  // first_delay_ms: the family threads' wait before their first cycle.
  LightingPreviewHost(std::shared_ptr<CDeviceChannel> mouse, std::shared_ptr<CDeviceChannel> pad,
                      std::shared_ptr<CDeviceChannel> keyboard, int first_delay_ms = lighting::kFirstCycleDelayMs);
  // Removes the preview hook.
  ~LightingPreviewHost() override;

  // Puts the four thread bodies in their slots; a body holds the runtime
  // and the channels, never the window.
  void SetBodies(WorkerThreads& workers) const;
  // Frame timer: pauses the threads of the families whose preview is not
  // on screen (all while the window is hidden or minimised), and applies
  // the newest frame's changed tints.
  // Returns the timer period to use from now on (ms); 0: stop the timer.
  int OnFrameTimer(const pages::CKeyLights& lights, bool window_shown);
  // The bounding rectangle of the keyboard's visible lights (client
  // coordinates), the area every frame repaints; empty when none shows.
  static ui::UiRect KeyboardArea(const pages::CKeyLights& lights);
  // The mouse's usage 0x403 (any thread).
  void TriggerMouseFlash() { runtime_->TriggerMouseFlash(); }
  // A key press for the keyboard's reactive modes (any thread).
  void MarkKey(int led) { runtime_->MarkKey(led); }
  // A key pressed in one of the program's windows (the input source's key
  // observer, UI thread): marks its LED.
  void OnKeyPressed(const KeyEventRecord& record) override;
  const lighting::LightingRuntime& Runtime() const { return *runtime_; }

  void RestartPreview(DeviceKind kind, pages::PreviewStart start) override;
  void ResetKeyboardPreview(int mode) override;

 private:
  std::shared_ptr<CDeviceChannel> mouse_, pad_, keyboard_;
  std::shared_ptr<lighting::LightingRuntime> runtime_;
  lighting::Frame newest_{};  // scratch for the taken frame
  uint64_t generation_ = 0;
};

}  // namespace trx::app
