#pragma once
// Shared set-up for the main-window tests: a fresh message queue on the
// controllable clock, the test skin (tests/data/app/skin) as resource path,
// a temporary home (so "main.ini" lands there), a machine-wide store file
// in it, an empty program folder, and a dialog hook that answers every
// message box with the button the test chooses and records its text id.
// SimWindowTest adds the three simulated devices and records the frames;
// FakeFront (tests/support) sets the program in front; Gate holds threads.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/main_wnd.h"
#include "device/frame_trace.h"
#include "platform/machine_store.h"
#include "platform/program_folder.h"
#include "platform/user_folders.h"
#include "settings/config_images.h"
#include "sim/sim_backend.h"
#include "tests/platform/temp_home.h"
#include "tests/support/fake_front.h"
#include "tests/support/queue_test.h"
#include "tests/support/wait.h"
#include "ui/core/menu.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/window/message_queue.h"
#include "ui/window/window_backend.h"

namespace trx::app::testing {

using namespace trx::ui;

class MainWndTest : public test::QueueTest {
 protected:
  void SetUp() override {
    QueueTest::SetUp();
    SetHeadlessWorkArea({0, 0, 1920, 1040});
    CPaintManagerUI::SetResourcePath(TRX770_TEST_DATA_DIR "/app/skin/");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    SetMachineStorePath(home_.Path("machine.ini"));
    SetProgramFolderOverride(home_.Path("program/"));
    RegisterInstanceMessage();
    SetDialogHook([this](WindowImplBase& dialog, std::string_view cls) {
      auto* box = dynamic_cast<CMsgWnd*>(&dialog);
      if (box != nullptr) boxes.push_back(box->GetMessageText());
      if (on_box) on_box();
      ClickDialogControl(dialog, box != nullptr ? answer : "closebtn");
      (void)cls;
    });
  }
  void TearDown() override {
    SetDialogHook({});
    window.reset();
    SetMachineStorePath("");
    SetProgramFolderOverride("");
    QueueTest::TearDown();
  }

  // Creates the main window (no presence threads unless asked) and runs
  // its first paint, which delivers "windowinit".
  void CreateWindow(MainWndOptions options = {}, bool presence = false) {
    options.presence_threads = presence;
    window = std::make_unique<CMainWnd>(options);
    ASSERT_NE(window->Create(nullptr, "TRX770", 0x96CA0000, 0, 0, 0, 800, 572), nullptr);
    queue().ProcessPending();
  }
  // Runs the UI thread's queue until pred holds (at most `seconds` of a
  // busy machine); workers and queues reach the window only through it.
  bool PumpUntil(const std::function<bool()>& pred, int seconds = 20) {
    return test::Eventually([&] { queue().ProcessPending(); return pred(); }, std::chrono::seconds(seconds));
  }
  // Opens the window's `kind` channel on the interface at `path` as the
  // detection thread does, its connect read done; `backup` false leaves out
  // the automatic backup before the first write.
  void OpenChannel(DeviceKind kind, const std::string& path, bool backup = true) {
    CDeviceChannel& c = window->Channel(kind);
    c.transport.want_read = c.transport.want_write = true;
    c.transport.device_path = path;
    ASSERT_EQ(c.transport.Open(), 1);
    c.connected = 1;
    if (!backup) c.SetBeforeFirstWrite({});
    c.ready = true;
  }
  CControlUI* Find(const char* name) { return window->GetPaintManager().FindControl(name); }
  // Opens the tray menu; the names of its items.
  std::vector<std::string> MenuItems() {
    window->OpenTrayMenu();
    std::vector<std::string> out;
    CMenuUI* body = window->TrayMenu()->GetMenuUI();
    for (int i = 0; i < body->GetCount(); ++i) out.push_back(body->GetItemAt(i)->GetName());
    return out;
  }
  void Notify(const char* name, const char* type, WPARAM wparam = 0) {
    CControlUI* c = Find(name);
    ASSERT_NE(c, nullptr) << name;
    window->GetPaintManager().SendNotify(c, type, wparam);
  }
  // Runs the queue until nothing is left (messages posted by handlers too).
  void Pump() {
    for (int i = 0; i < 100 && queue().ProcessPending() > 0; ++i) continue;
  }

  test::TempHome home_;
  std::unique_ptr<CMainWnd> window;
  std::vector<std::string> boxes;  // text ids of the message boxes shown
  std::string answer = "confirm_btn";
  std::function<void()> on_box;
};

// Held shut until Open (or `limit`, so that a wait on it fails instead of
// hanging); records the threads that waited. Any thread.
class Gate {
 public:
  explicit Gate(std::chrono::milliseconds limit) : limit_(limit) {}
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    threads_.push_back(std::this_thread::get_id());
    open_cv_.wait_for(lock, limit_, [this] { return open_; });
  }
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    open_cv_.notify_all();
  }
  std::vector<std::thread::id> Threads() {
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_;
  }

 private:
  const std::chrono::milliseconds limit_;
  std::mutex mutex_;  // guards open_, threads_; a leaf
  std::condition_variable open_cv_;
  bool open_ = false;
  std::vector<std::thread::id> threads_;
};

using test::FakeFront;

// The window on the three simulated devices (ids: mouse 0, keyboard 1,
// pad 2), their channels open as a detection thread leaves them (without
// the automatic backup unless asked), and every frame then written recorded.
class SimWindowTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    ResetImagesToBuiltIn();
  }
  void TearDown() override {
    SetFrameTraceHook(nullptr);
    MainWndTest::TearDown();
    ResetImagesToBuiltIn();
  }
  void CreateOnSimulatedDevices(bool backup = false) {
    backend = sim::SimBackend::WithStandardDevices();
    CreateWindow({.backend = backend});
    int id = 0;
    for (DeviceKind k : {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad})
      OpenChannel(k, backend->VendorPath(id++), backup);
    SetFrameTraceHook([this](const FrameTraceRecord& r) {
      std::lock_guard<std::mutex> guard(mutex);
      if (r.direction == '>') writes.push_back({r.kind, queue().Now(), r.bytes});
    });
  }
  // Waits until the devices' queues, where the sends run, are idle.
  void Settle() {
    for (DeviceKind k : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad})
      while (window->Queue(k).Busy()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  struct Write {
    DeviceKind kind;
    int64_t at_ms;
    std::vector<uint8_t> bytes;
  };
  std::vector<Write> Writes() {
    std::lock_guard<std::mutex> guard(mutex);
    return writes;
  }
  // The frames written to `kind`.
  std::vector<std::vector<uint8_t>> Written(DeviceKind kind) {
    std::vector<std::vector<uint8_t>> out;
    for (const Write& w : Writes())
      if (w.kind == kind) out.push_back(w.bytes);
    return out;
  }

  std::shared_ptr<sim::SimBackend> backend;
  std::mutex mutex;  // guards writes
  std::vector<Write> writes;
};

}  // namespace trx::app::testing
