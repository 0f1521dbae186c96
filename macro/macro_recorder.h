#pragma once
// The two recorders of a macro page (keyboard and mouse) that turn the
// forwarded hook events into actions, with the gap between events as the
// delay of the action before.
//
// - A key held down records one press: a press of the key pressed last is
//   an auto-repeat and is dropped; its release clears that.
// - Enter with the extended flag (flags 0x01 or 0x81) is the keypad Enter.
// - Keys outside MacroKeyTable and mouse messages other than the left,
//   right and middle button record nothing; a mouse message equal to the
//   last one recorded is dropped too, and mouse buttons are recorded only
//   when the page's "mouse click" option is on.
// - Both recorders share the time of the last event: the gap before each
//   recorded action (32-bit tick arithmetic, at most 655 350 ms, or always
//   50 ms with fixed delays) becomes the delay of the action before it, in
//   10 ms units; the new action's delay is 0.
//
// The page owns the action list; a step says what to append and how the
// previous last action changes. ApplyStep does that on a plain list.
//
// Thread: the UI thread (inside the hook message handler: no file or
// device work here).

#include <cstdint>
#include <optional>
#include <vector>

#include "macro/macro_action.h"
#include "platform/input_hooks.h"
#include "platform/tick_clock.h"

namespace trx::macro {

inline constexpr uint32_t kFixedDelayMs = 50;

struct RecordStep {
  MacroAction action;                // to append, delay 0
  bool sets_previous_delay = false;  // the list held an action before
  uint16_t previous_delay = 0;       // its new delay (10 ms units)
  uint32_t previous_delay_ms = 0;    // the gap in ms, for its label
};

class CMacroRecorder {
 public:
  explicit CMacroRecorder(const ITickClock& clock) : clock_(clock) {}

  // Record start: the time of the last event is now. `fixed_delays`: the
  // page's fixed-delay option (every gap counts as 50 ms).
  void Start(bool fixed_delays);
  void Stop() { recording_ = false; }
  bool Recording() const { return recording_; }

  // `list_size`: actions in the page's list before this one.
  std::optional<RecordStep> OnKey(uint32_t wparam, const KeyEventRecord& record, size_t list_size);
  std::optional<RecordStep> OnMouse(uint32_t wparam, bool mouse_click_enabled, size_t list_size);

 private:
  RecordStep Finish(MacroAction action, size_t list_size);

  const ITickClock& clock_;
  bool recording_ = false;
  bool fixed_delays_ = false;
  uint32_t last_event_ms_ = 0;
  uint32_t last_key_ = 0;
  uint32_t last_mouse_ = 0;
};

// Appends the step's action to `list`, changing the previous last one.
void ApplyStep(std::vector<MacroAction>& list, const RecordStep& step);

}  // namespace trx::macro
