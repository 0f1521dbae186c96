#include "lighting/light_runtime.h"

#include <poll.h>

#include <array>
#include <chrono>
#include <utility>

#include "platform/debug_log.h"
#include "settings/config_images.h"
#include "settings/key_colour_sets.h"
#include "settings/lighting_bytes.h"

namespace trx::lighting {

namespace {
constexpr int kEventWaitMs = 1;
constexpr int kMouseCycleMs = 20;
constexpr int kAbsentMs = 100;
constexpr int kSyncAllAbsentMs = 1000;
// No family follows synchronised lighting: look again after this long
// rather than every cycle (a speed of 0 would wake the thread 1000 times a
// second to find nothing to do).
constexpr int kSyncNoneFollowsMs = 100;

EffectSettings FromBytes(const LightingBytes& b) {
  EffectSettings s;
  s.mode = b.mode;
  s.brightness = b.brightness;
  s.speed = b.speed > kLightSliderMax ? kLightSliderMax : b.speed;
  s.direction = b.direction;
  s.colour_cycle = b.colour_cycle;
  s.colour = {b.red, b.green, b.blue};
  return s;
}

uint8_t KeyboardVariantNow() {
  return WithImage([](ConfigImages& images) { return static_cast<uint8_t>(images.keyboard.variant); });
}

// The custom-colour mode's colours: the chosen colour set of the per-key
// colour block, copied under the image mutex.
void ReadCustomColours(std::array<Rgb, kKeyColourKeys>& out) {
  WithImage([&out](ConfigImages& images) {
    const KeyboardImage& kb = images.keyboard;
    const int set = ActiveKeyColourSet(kb);
    for (int k = 0; k < kKeyColourKeys; ++k) {
      const uint32_t rgb = KeyColour(kb, set, k);
      out[static_cast<size_t>(k)] = {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)};
    }
  });
}

// The debug line variant 2 writes in its twinkle (9) and snake (12) modes.
const char* VariantTwoModeLine(const EffectSettings& s) {
  if (s.variant != 2) return nullptr;
  if (s.mode == 9) return "星星";
  if (s.mode == 12) return "蛇";
  return nullptr;
}

bool Present(const CDeviceChannel& c) { return c.connected.load() != 0; }
bool Follows(const CDeviceChannel& c) { return c.follows_synchronised_lighting.load() != 0; }
// A sleep that ends early when the stop event is set; true when stopped.
bool Sleep(CEvent& stop, int ms) { return ms > 0 && stop.Wait(ms); }

// The waits of one cycle, taken together at the top of the next: a thread
// wakes once per cycle instead of once per wait, since each wake-up costs
// far more than a cycle's work. The cadence is unchanged; what a cycle
// reads is read after its waits rather than between them.
class CycleWait {
 public:
  explicit CycleWait(CEvent& stop) : stop_(stop) {}
  void Add(int ms) {
    if (ms > 0) pending_ms_ += ms;
  }
  // Waits the event wait and what was added since; true when stopped.
  bool Stopped() { return stop_.Wait(kEventWaitMs + std::exchange(pending_ms_, 0)); }

 private:
  CEvent& stop_;
  int pending_ms_ = 0;
};
}  // namespace

LightingRuntime::LightingRuntime(CDeviceChannel& mouse, CDeviceChannel& pad, CDeviceChannel& keyboard,
                                 int first_delay_ms)
    : mouse_(mouse), pad_(pad), keyboard_(keyboard), first_delay_ms_(first_delay_ms) {}

int64_t LightingRuntime::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void LightingRuntime::SetShown(bool shown) { SetFamiliesShown(shown, shown, shown); }

void LightingRuntime::SetFamiliesShown(bool mouse, bool pad, bool keyboard) {
  // Family events first, so a thread released by `shown_` sees its own.
  for (auto [event, on] : {std::pair{&mouse_shown_, mouse}, {&pad_shown_, pad}, {&keyboard_shown_, keyboard}}) {
    if (on) event->Set();
    else event->ResetEvent();
  }
  if (mouse || pad || keyboard) shown_.Set();
  else shown_.ResetEvent();
}

const CEvent& LightingRuntime::FamilyEvent(DeviceKind kind) const {
  switch (kind) {
    case DeviceKind::Mouse: return mouse_shown_;
    case DeviceKind::MousePad: return pad_shown_;
    case DeviceKind::Keyboard: break;
  }
  return keyboard_shown_;
}

bool LightingRuntime::WaitShown(CEvent& stop, const CEvent& shown) {
  while (!shown.IsSet()) {
    pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {shown.Fd(), POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;  // interrupted: look again
    if (stop.IsSet()) return false;
  }
  return !stop.IsSet();
}

bool LightingRuntime::TakeFrame(Frame& out, uint64_t& generation) const {
  std::lock_guard<std::mutex> lock(frame_mutex_);
  if (generation_ == generation) return false;
  out = frame_;
  generation = generation_;
  return true;
}

uint64_t LightingRuntime::Generation() const {
  std::lock_guard<std::mutex> lock(frame_mutex_);
  return generation_;
}

void LightingRuntime::Publish(const Frame& local, int first, int count) {
  std::lock_guard<std::mutex> lock(frame_mutex_);
  for (int i = first; i < first + count; ++i) frame_.tints[static_cast<size_t>(i)] = local.tints[static_cast<size_t>(i)];
  ++generation_;
}

void LightingRuntime::MarkKey(int led) {
  if (led < 0 || led >= kKeyboardSlots) return;
  std::lock_guard<std::mutex> lock(marks_mutex_);
  marks_.set(static_cast<size_t>(led));
}

void LightingRuntime::RestartFamily(DeviceKind kind, int position, bool first_group) {
  switch (kind) {
    case DeviceKind::Mouse: mouse_restart_.store(position + 1); break;
    case DeviceKind::MousePad:
      pad_first_group_.store(first_group);
      pad_restart_.store(position + 1);
      break;
    case DeviceKind::Keyboard: keyboard_restart_.store(position + 1); break;
  }
}

void LightingRuntime::ResetKeyboard(int mode) { keyboard_reset_mode_.store(mode); }

void LightingRuntime::RunMouse(CEvent& stop) {
  MouseEngine engine;
  Frame local;
  bool reported_unknown = false;
  if (!Sleep(stop, first_delay_ms_)) {
    CycleWait wait(stop);
    while (!wait.Stopped()) {
      if (!WaitShown(stop, mouse_shown_)) break;
      wait.Add(kMouseCycleMs);
      if (!Present(mouse_)) {
        wait.Add(kAbsentMs);
        continue;
      }
      if (Follows(mouse_)) continue;
      if (int r = mouse_restart_.exchange(0); r != 0) engine.Restart(r - 1);
      CycleInput in;
      in.now_ms = NowMs();
      in.mouse_visible = mouse_visible_.load(std::memory_order_relaxed);
      in.mouse_trigger = mouse_trigger_.exchange(false);
      bool unknown = false;
      const int extra = engine.Cycle(FromBytes(ReadLighting(DeviceKind::Mouse)), in, local, &unknown);
      // Reported once per stretch of unknown mode, not every 20 ms.
      if (unknown && !reported_unknown) DebugLine("鼠标灯光线程设定2");
      reported_unknown = unknown;
      if (!unknown) Publish(local, kMouseFirstSlot, kMouseSlots);
      wait.Add(extra);
    }
  }
  DebugLine("鼠标灯光线程设定退出");
}

void LightingRuntime::RunPad(CEvent& stop) {
  PadEngine engine;
  Frame local;
  if (!Sleep(stop, first_delay_ms_)) {
    CycleWait wait(stop);
    while (!wait.Stopped()) {
      if (!WaitShown(stop, pad_shown_)) break;
      const EffectSettings s = FromBytes(ReadLighting(DeviceKind::MousePad));
      wait.Add(PeriodMs(Family::Pad, s.mode, s.speed));
      if (!Present(pad_)) {
        wait.Add(kAbsentMs);
        continue;
      }
      if (Follows(pad_)) continue;
      if (int r = pad_restart_.exchange(0); r != 0) engine.Restart(r - 1, pad_first_group_.load());
      wait.Add(PadEngine::PreSleepMs(s));
      CycleInput in;
      in.now_ms = NowMs();
      engine.Cycle(s, in, local);
      Publish(local, kPadFirstSlot, kPadSlots);
    }
  }
  DebugLine("鼠标垫灯光线程设定退出");
}

void LightingRuntime::RunKeyboard(CEvent& stop) {
  KeyboardEngine engine;
  Frame local;
  std::array<Rgb, kKeyColourKeys> custom{};
  const char* reported_line = nullptr;
  if (!Sleep(stop, first_delay_ms_)) {
    CycleWait wait(stop);
    while (!wait.Stopped()) {
      if (!WaitShown(stop, keyboard_shown_)) break;
      EffectSettings s = FromBytes(ReadLighting(DeviceKind::Keyboard));
      wait.Add(PeriodMs(Family::Keyboard, s.mode, s.speed));
      if (!Present(keyboard_) || Follows(keyboard_)) continue;
      if (int r = keyboard_restart_.exchange(0); r != 0) {
        engine.Reset(-1);
        engine.position = static_cast<uint8_t>(r - 1);
      }
      if (int m = keyboard_reset_mode_.exchange(-2); m != -2) engine.Reset(m);
      s.variant = KeyboardVariantNow();
      // Variant 2 names its twinkle and snake modes, once per stretch of
      // the mode rather than every few milliseconds.
      const char* line = VariantTwoModeLine(s);
      if (line != nullptr && line != reported_line) DebugLine(line);
      reported_line = line;
      wait.Add(KeyboardEngine::PreSleepMs(s));
      CycleInput in;
      in.now_ms = NowMs();
      {
        std::lock_guard<std::mutex> lock(marks_mutex_);
        in.marks = marks_;
        marks_.reset();
      }
      if (s.mode == KeyboardEngine::kCustomColourMode && s.variant != 1) {
        ReadCustomColours(custom);
        in.custom = custom.data();
      }
      engine.Cycle(s, in, local);
      Publish(local, kKeyboardFirstSlot, kKeyboardSlots);
    }
  }
  DebugLine("键盘灯光线程设定退出");
}

void LightingRuntime::RunSync(CEvent& stop) {
  SyncEngine engine;
  Frame local;
  CycleWait wait(stop);
  while (!wait.Stopped()) {
    if (!WaitShown(stop)) break;
    const EffectSettings s = FromBytes(ReadSyncLighting());
    wait.Add(SyncEngine::PeriodMs(s));
    if (!Present(mouse_) && !Present(pad_) && !Present(keyboard_)) {
      wait.Add(kSyncAllAbsentMs);
      continue;
    }
    const SyncFamilies follow{Follows(keyboard_), Follows(mouse_), Follows(pad_)};
    if (!follow.Any()) {
      wait.Add(kSyncNoneFollowsMs);
      continue;
    }
    const int extra = engine.Cycle(s, follow, local);
    if (follow.mouse) Publish(local, kMouseFirstSlot, kMouseSlots);
    if (follow.pad) Publish(local, kPadFirstSlot, kPadSlots);
    if (follow.keyboard) Publish(local, kKeyboardFirstSlot, kKeyboardSlots);
    wait.Add(extra);
  }
  DebugLine("同步灯光线程设定退出");
}

}  // namespace trx::lighting
