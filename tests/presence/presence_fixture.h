#pragma once
// The presence threads against simulated devices behind a fake hidraw tree.
// Every wait has a generous limit; nothing asserts on elapsed time.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "device/hidraw_backend.h"
#include "platform/debug_log.h"
#include "platform/program_folder.h"
#include "presence/presence_handlers.h"
#include "presence/presence_host.h"
#include "presence/presence_threads.h"
#include "settings/config_images.h"
#include "sim/hidraw_attach.h"
#include "sim/hidraw_fake_tree.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/platform/temp_home.h"
#include "tests/support/wait.h"

namespace trx::test {

inline constexpr auto kWaitLimit = std::chrono::seconds(20);

// The main window's stand-in: records every call as a line, runs sent read
// messages at once on the calling thread (as the UI thread would).
class RecordingHost : public IPresenceHost {
 public:
  explicit RecordingHost(std::shared_ptr<IHidBackend> backend)
      : keyboard_(DeviceKind::Keyboard, backend), mouse_(DeviceKind::Mouse, backend), pad_(DeviceKind::MousePad, backend) {
    keyboard_.SetIdentity(0x0C45, 0x6556, 0xFF1C, 0x92);
    mouse_.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
    pad_.SetIdentity(0x0C45, 0x6758, 0xFF1C, 0x92);
  }

  CDeviceChannel& Channel(DeviceKind kind) override {
    return kind == DeviceKind::Keyboard ? keyboard_ : kind == DeviceKind::MousePad ? pad_ : mouse_;
  }
  // "connected mouse device 0 light 0 key 0 read 0"
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& r) override {
    Record(std::string("connected ") + DeviceKindName(kind) + " device " + std::to_string(r.device_profile) +
           " light " + std::to_string(r.light_profile) + " key " + std::to_string(r.key_profile) + " read " +
           std::to_string(static_cast<int>(r.read)));
  }
  // "left mouse", then "select keyboard" (+ " shown"), "post 0x0C05" or "hide window".
  void OnDeviceLeft(const RemovalPlan& plan) override {
    Record(std::string("left ") + DeviceKindName(plan.gone));
    if (plan.select) Record(std::string("select ") + DeviceKindName(*plan.select) + (plan.show_selected ? " shown" : ""));
    if (plan.all_gone_notice) Record("post 0x0C05");
    if (plan.hide_window) Record("hide window");
  }
  void OnSameModeChanged(DeviceKind kind, bool follows) override {
    Record(std::string("same mode ") + DeviceKindName(kind) + (follows ? " on" : " off"));
  }
  void OnDeviceRead(DeviceKind kind) override { Record(std::string("refresh ") + DeviceKindName(kind)); }
  void ShowMainWindow() override { Record("show window"); }
  int ShowMessage(const char* text_id) override { Record(std::string("message ") + text_id); return 1; }
  void PostInstanceMessage() override { Record("post instance"); }
  void StartTimer(int id, int period_ms) override { Record("timer " + std::to_string(id) + " " + std::to_string(period_ms)); }
  void SendReadMessage(uint32_t message) override {
    char line[32];
    std::snprintf(line, sizeof line, "send 0x%04X", message);
    const bool handled = HandlePresenceMessage(*this, message);
    Record(std::string(line) + (handled ? "" : " unhandled"));
  }
  void RequestLightingRefresh() override { Record("lighting refresh"); }
  void ReadMouseRoutines() override { Record("routines"); }

  std::vector<std::string> Events() {
    std::lock_guard<std::mutex> guard(mutex_);
    return events_;
  }
  size_t Count(const std::string& line) {
    std::lock_guard<std::mutex> guard(mutex_);
    return static_cast<size_t>(std::count(events_.begin(), events_.end(), line));
  }
  // Waits until `line` has been recorded `times` times in all.
  bool WaitFor(const std::string& line, size_t times = 1) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kWaitLimit, [&] {
      return static_cast<size_t>(std::count(events_.begin(), events_.end(), line)) >= times;
    });
  }
  // Called with each event before it is recorded (set before the threads start).
  std::function<void(const std::string&)> on_event;

 private:
  void Record(std::string line) {
    if (on_event) on_event(line);
    {
      std::lock_guard<std::mutex> guard(mutex_);
      events_.push_back(std::move(line));
    }
    changed_.notify_all();
  }

  CDeviceChannel keyboard_;
  CDeviceChannel mouse_;
  CDeviceChannel pad_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

// One presence thread with its own stop event, stopped and joined at the end.
class ThreadRunner {
 public:
  ThreadRunner(int (*routine)(PresenceThreadParam), IPresenceHost& host,
               std::shared_ptr<IHidBackend> backend = nullptr) {
    PresenceThreadParam param;
    param.host = &host;
    param.stop = &stop_;
    param.backend = std::move(backend);
    thread_ = std::thread([routine, param] { routine(param); });
  }
  ~ThreadRunner() { Stop(); }
  void Stop() {
    stop_.Set();
    if (thread_.joinable()) thread_.join();
  }

 private:
  CEvent stop_{CEvent::Reset::Manual};
  std::thread thread_;
};

using Request = FrameKey;
// The frames of a block transfer of `size` bytes from `base`: 56 bytes each.
inline void AddBlock(std::vector<Request>& seq, int command, int base, int size = 512) {
  for (int at = 0; at < size; at += 56) seq.push_back({command, std::min(56, size - at), base + at});
}
// The reads of the five lighting records and of the active one.
inline void AddLightingSlots(std::vector<Request>& seq) {
  for (int k = 0; k < 5; ++k) seq.push_back({5, 56, 64 * k});
  seq.push_back({5, 1, 0});
}

// Temporary home and program folder, fresh image, frames and debug lines.
class PresenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.Valid());
    ResetImagesToBuiltIn();
    SetProgramFolderOverride(home.Path("program"));
    std::filesystem::create_directories(home.Path("program"));
    SetFrameTraceHook([this](const FrameTraceRecord& r) {
      std::lock_guard<std::mutex> guard(trace_mutex_);
      trace_.push_back(r);
    });
  }
  void TearDown() override {
    SetFrameTraceHook(nullptr);
    SetProgramFolderOverride("");
    ResetImagesToBuiltIn();
  }

  std::unique_ptr<sim::HidrawSimAttachment> Attach(const std::shared_ptr<sim::SimFirmware>& firmware) {
    auto attachment = std::make_unique<sim::HidrawSimAttachment>(tree, firmware);
    EXPECT_TRUE(attachment->Valid());
    return attachment;
  }

  // "command length address" of every request frame written to `kind`.
  std::vector<Request> Requests(DeviceKind kind) {
    std::lock_guard<std::mutex> guard(trace_mutex_);
    std::vector<Request> out;
    for (const auto& r : trace_)
      if (r.direction == '>' && r.kind == kind) out.push_back(KeyOf(r.bytes));
    return out;
  }
  void ClearTrace() {
    std::lock_guard<std::mutex> guard(trace_mutex_);
    trace_.clear();
  }
  size_t LineCount(const std::string& line) { return debug_.Count(line); }

  TempHome home;
  FakeHidrawTree tree;
  std::shared_ptr<IHidBackend> backend = tree.MakeBackend();

 private:
  DebugCapture debug_;
  std::mutex trace_mutex_;
  std::vector<FrameTraceRecord> trace_;
};

}  // namespace trx::test
