#include "macro/macro_recorder.h"

#include "macro/macro_tables.h"
#include "platform/debug_log.h"

namespace trx::macro {

namespace {
constexpr uint32_t kVkReturn = 0x0D;
}

void CMacroRecorder::Start(bool fixed_delays) {
  recording_ = true;
  fixed_delays_ = fixed_delays;
  last_event_ms_ = clock_.NowMs();
  last_key_ = 0;
  last_mouse_ = 0;
}

std::optional<RecordStep> CMacroRecorder::OnKey(uint32_t wparam, const KeyEventRecord& r, size_t list_size) {
  if (!recording_) return std::nullopt;
  DebugLineF("%u,%u,%u,%lu,%u", r.vk_code, r.scan_code, r.flags, static_cast<unsigned long>(r.extra_info), r.time);
  uint32_t vk = r.vk_code;
  if (vk == kVkReturn && (r.flags == kKeyFlagExtended || r.flags == (kKeyFlagExtended | kKeyFlagUp)))
    vk = kVkKeypadEnter;
  const bool pressed = wparam == kWmKeyDown || wparam == kWmSysKeyDown;
  if (pressed) {
    if (vk == last_key_) return std::nullopt;  // auto-repeat
    last_key_ = vk;
  } else if (vk == last_key_) {
    last_key_ = 0;
  }
  const std::optional<size_t> row = FindKeyRow(vk);
  if (!row) return std::nullopt;
  return Finish(KeyAction(MacroKeyTable[*row], pressed), list_size);
}

std::optional<RecordStep> CMacroRecorder::OnMouse(uint32_t wparam, bool mouse_click_enabled, size_t list_size) {
  if (!recording_) return std::nullopt;
  const std::optional<size_t> row = FindRecordedMouseRow(wparam);
  if (!row || !mouse_click_enabled) return std::nullopt;
  if (wparam == last_mouse_) return std::nullopt;
  last_mouse_ = wparam;
  return Finish(MouseAction(MacroMouseTable[*row]), list_size);
}

RecordStep CMacroRecorder::Finish(MacroAction action, size_t list_size) {
  const uint32_t now = clock_.NowMs();
  uint32_t elapsed = now - last_event_ms_;  // wraps like the tick count
  last_event_ms_ = now;
  if (elapsed >= kMaxDelayMs) elapsed = kMaxDelayMs;
  if (fixed_delays_) elapsed = kFixedDelayMs;
  RecordStep step;
  action.delay = 0;
  step.action = std::move(action);
  if (list_size > 0) {
    step.sets_previous_delay = true;
    step.previous_delay = static_cast<uint16_t>(elapsed / kDelayUnitMs);
    step.previous_delay_ms = elapsed;
  }
  return step;
}

void ApplyStep(std::vector<MacroAction>& list, const RecordStep& step) {
  if (step.sets_previous_delay && !list.empty()) list.back().delay = step.previous_delay;
  list.push_back(step.action);
}

}  // namespace trx::macro
