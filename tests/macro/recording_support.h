#pragma once
// A hand-set clock, an input source that keeps the hook it is given, and the recorder's list.

#include <optional>
#include <string>
#include <vector>

#include "macro/macro_recorder.h"
#include "platform/input_hooks.h"
#include "platform/tick_clock.h"

namespace trx::test {

struct FakeClock : ITickClock {
  uint32_t NowMs() const override { return now; }
  uint32_t now = 0;
};

// Refuses to start while `accept` is false.
struct FakeInputSource : IInputSource {
  bool Start(CDeviceHook& h, bool, bool) override {
    if (accept) hook = &h;
    return accept;
  }
  void Stop() override { hook = nullptr; }
  CDeviceHook* hook = nullptr;
  bool accept = true;
};

// Records every hook message; those to `record` go to the recorder.
struct RecordingList {
  explicit RecordingList(const ITickClock& clock) : recorder(clock) {}
  void OnKey(uint32_t message, uint32_t wparam, const KeyEventRecord& r, bool record = true) {
    messages.push_back(message);
    if (auto step = record ? recorder.OnKey(wparam, r, list.size()) : std::nullopt) macro::ApplyStep(list, *step);
  }
  void OnMouse(uint32_t message, uint32_t wparam, bool click, bool record = true) {
    messages.push_back(message);
    if (auto step = record ? recorder.OnMouse(wparam, click, list.size()) : std::nullopt) macro::ApplyStep(list, *step);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const auto& a : list) out.push_back(macro::FormatActionLine(a));
    return out;
  }
  macro::CMacroRecorder recorder;
  std::vector<macro::MacroAction> list;
  std::vector<uint32_t> messages;
};

}  // namespace trx::test
