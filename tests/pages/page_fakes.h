#pragma once
// Fakes of the page layer's narrow interfaces: dialogs that answer as the
// test says and record what they showed, devices backed by channels the
// test owns, and a window that records what it was asked to do.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/device_channel.h"
#include "device/device_ids.h"
#include "pages/page_context.h"
#include "profile/init_profiles.h"
#include "settings/settings_host.h"

namespace trx::pages::testing {

// Also the profile start-up's message boxes.
class FakeDialogs : public IDialogs, public IProfileMessages {
 public:
  int ShowMessage(std::string_view text_id) override { messages.emplace_back(text_id); return message_answer; }
  // Recorded as "<id> <number>".
  int ShowCountMessage(std::string_view text_id, uint64_t number) override {
    return ShowMessage(std::string(text_id) + " " + std::to_string(number));
  }
  // Recorded as the text itself.
  int ShowText(std::string_view text) override { return ShowMessage(text); }
  bool PickColour(ui::UiColor initial, ui::UiPoint at, ui::UiColor* chosen) override {
    palette_initial.push_back(initial);
    palette_at = at;
    if (!colour_answer) return false;
    *chosen = *colour_answer;
    return true;
  }
  std::vector<std::string> messages;
  int message_answer = 1;
  std::vector<ui::UiColor> palette_initial;
  ui::UiPoint palette_at{};
  std::optional<ui::UiColor> colour_answer;
};

class FakeDevices : public IDevices {
 public:
  explicit FakeDevices(std::shared_ptr<IHidBackend> backend = nullptr)
      : keyboard(DeviceKind::Keyboard, backend), mouse(DeviceKind::Mouse, backend), pad(DeviceKind::MousePad, backend) {
    ApplyIdentity(keyboard);
    ApplyIdentity(mouse);
    ApplyIdentity(pad);
  }
  CDeviceChannel& Channel(DeviceKind kind) override {
    return kind == DeviceKind::Keyboard ? keyboard : kind == DeviceKind::Mouse ? mouse : pad;
  }
  void MarkSettingsPending(DeviceKind kind) override { pending.push_back(kind); }
  void ReadAgain(DeviceKind kind) override { reads.push_back(kind); }
  std::vector<DeviceKind> reads;
  // Runs the operation at once on the calling thread.
  bool Submit(DeviceKind kind, DeviceOperation operation) override {
    struct Context : OperationContext {
      explicit Context(CDeviceChannel& c) : channel(c) {}
      CDeviceChannel& Channel() override { return channel; }
      void Begin(int) override {}
      void Advance(int) override {}
      CDeviceChannel& channel;
    } context(Channel(kind));
    OperationOutcome outcome;
    outcome.kind = kind;
    outcome.name = operation.name;
    outcome.result = operation.run(context);
    if (operation.done) operation.done(outcome);
    return true;
  }
  routine::RoutineEdits& RoutineEdits() override { return routine_edits; }
  CDeviceChannel keyboard, mouse, pad;
  routine::RoutineEdits routine_edits;
  std::vector<DeviceKind> pending;
};

// Records each profile save as "<device> <family number>".
class RecordingSaver : public IProfileSaver {
 public:
  ProfileSaveResult SaveCurrentProfile(DeviceKind kind, ProfileFamily family) override {
    saves.push_back(std::string(DeviceKindName(kind)) + " " + std::to_string(static_cast<int>(family)));
    return ProfileSaveResult::Saved;
  }
  std::vector<std::string> saves;
};

// Input capture: records the installs; the test raises the events.
class FakeInputHooks : public IInputHooks {
 public:
  HookInstallResult InstallInputHooks(uint32_t mode, bool keyboard, bool mouse) override {
    installs.push_back({mode, keyboard, mouse});
    return HookInstallResult::Installed;
  }
  void SetHookListener(IHookListener* l) override { listener = l; }
  struct Install { uint32_t mode; bool keyboard, mouse; bool operator==(const Install&) const = default; };
  std::vector<Install> installs;
  IHookListener* listener = nullptr;
};

class FakeWindow : public IWindow {
 public:
  void DestroyWindow() override { calls.push_back("destroy"); }
  void SysCommand(unsigned command) override { calls.push_back("syscommand " + std::to_string(command)); }
  void OpenSkinChooser(ui::CControlUI*) override { calls.push_back("skin chooser"); }
  void WindowInit() override { calls.push_back("windowinit"); }
  void RemoveInputHooks() override { ++hook_removals; if (hooks.listener != nullptr) hooks.listener->OnHooksRemoved(); }
  IInputHooks* InputHooks() override { return &hooks; }
  FakeInputHooks hooks;
  void LibraryNotify(ui::TNotifyUI& msg) override {
    library.push_back(msg.sType + " " + (msg.pSender != nullptr ? msg.pSender->GetName() : std::string()));
  }
  void StartTimer(int id, int period_ms, std::function<void()> on_tick) override {
    calls.push_back("timer " + std::to_string(id) + " " + std::to_string(period_ms));
    ticks[id] = std::move(on_tick);
  }
  std::map<int, std::function<void()>> ticks;  // the pages' timer callbacks by id
  void KillTimer(int id) override { calls.push_back("kill timer " + std::to_string(id)); }
  ui::UiPoint CursorPos() override { return cursor; }
  HookInstallResult InstallKeyCapture(uint32_t mode, IHookListener* listener) override {
    calls.push_back("key capture " + std::to_string(mode));
    key_listener = listener;
    return HookInstallResult::Installed;
  }
  // Time stands still until the test moves `clock.now`.
  struct FakeClock : ITickClock {
    uint32_t NowMs() const override { return now; }
    uint32_t now = 0;
  } clock;
  const ITickClock& Clock() override { return clock; }
  IHookListener* key_listener = nullptr;
  std::vector<std::string> calls;
  std::vector<std::string> library;
  int hook_removals = 0;
  ui::UiPoint cursor{300, 200};
};

}  // namespace trx::pages::testing
