#pragma once
// Page tests: the skin's real layouts built into a bare paint manager (the
// main layout with its sub-layouts, or one sub-layout alone), the page set
// over them with fake dialogs, devices and window, and notifications raised
// through the router as the window would raise them.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pages/lighting_preview.h"
#include "pages/name_split.h"
#include "pages/sub_layouts.h"
#include "pages/page_set.h"
#include "platform/desktop_pointer/desktop_pointer.h"
#include "platform/program_folder.h"
#include "settings/config_images.h"
#include "settings/settings_host.h"
#include "sim/firmware_model.h"
#include "sim/sim_backend.h"
#include "tests/pages/page_fakes.h"
#include "ui/core/circle_progress.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/dialog_builder.h"
#include "ui/core/list.h"
#include "ui/core/option.h"
#include "ui/core/paint_manager.h"
#include "ui/core/progress.h"
#include "ui/core/resource_manager.h"
#include "ui/window/file_dialog.h"

namespace trx::pages::testing {

using namespace trx::ui;

// Builds the sub-layout elements of the main layout from their files and
// the progress ring, as the main window does; records files that don't build.
class SubLayoutBuilder : public IDialogBuilderCallback {
 public:
  explicit SubLayoutBuilder(CPaintManagerUI* pm) : pm_(pm) {}
  CControlUI* CreateControl(std::string_view class_name) override {
    if (SameName(class_name, kCircleProgressElement)) return new CCircleProgressUI();
    const char* file = SubLayoutFile(class_name);
    if (file == nullptr) return nullptr;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(file, {}, nullptr, pm_, nullptr);
    if (root == nullptr) missing.push_back(file);
    return root;
  }
  std::vector<std::string> missing;

 private:
  CPaintManagerUI* pm_;
};

class PageTest : public ::testing::Test {
 protected:
  // Builds `layout` ("XML_MAIN" for the whole window, or a sub-layout file
  // such as "Mouse_DPI.xml") and the page set over it.
  void Build(const char* layout = "XML_MAIN") {
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    SubLayoutBuilder callback(&pm);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(layout, {}, &callback, &pm);
    ASSERT_NE(root, nullptr) << layout;
    EXPECT_TRUE(callback.missing.empty()) << callback.missing.front();
    pm.AttachDialog(root);
    pages = std::make_unique<CPageSet>(pm, dialogs, devices, window);
    pages->OnWindowInit();
  }

  CControlUI* Find(std::string_view name) {
    CControlUI* c = pm.FindControl(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  bool Visible(std::string_view name) { return Find(name) != nullptr && Find(name)->IsVisible(); }
  std::string Text(std::string_view name) { return Find(name)->GetText(); }
  CComboUI* Combo(std::string_view name) { return dynamic_cast<CComboUI*>(Find(name)); }
  CSliderUI* Slider(std::string_view name) { return dynamic_cast<CSliderUI*>(Find(name)); }
  CListUI* List(std::string_view name) { return dynamic_cast<CListUI*>(Find(name)); }
  int Page(std::string_view layout) { return dynamic_cast<CTabLayoutUI*>(Find(layout))->GetCurSel(); }
  bool Selected(std::string_view option) { return dynamic_cast<COptionUI*>(Find(option))->IsSelected(); }
  // Raises a notification through the router, as the window does.
  void Notify(std::string_view name, const char* type) {
    TNotifyUI msg{.sType = type, .sVirtualWnd = {}, .pSender = Find(name)};
    ASSERT_NE(msg.pSender, nullptr) << name;
    pages->Router().Notify(msg);
  }
  // Selects an option the way a click does: its own notification reaches
  // the router through the paint manager's notifier.
  void Select(std::string_view option) {
    auto* o = dynamic_cast<COptionUI*>(Find(option));
    ASSERT_NE(o, nullptr) << option;
    o->Selected(true, true);
  }
  // Picks a combo row and raises its notification even when the row stays.
  void Choose(std::string_view combo, int row) {
    Combo(combo)->SelectItem(row, false, false);
    Notify(combo, "itemselect");
  }
  void Type(std::string_view edit, std::string_view text) {
    Find(edit)->SetText(text);
    Notify(edit, "textchanged");
  }

  struct RouterNotifier : INotifyUI {
    explicit RouterNotifier(PageTest& t) : test(t) {}
    void Notify(TNotifyUI& msg) override { if (test.pages) test.pages->Router().Notify(msg); }
    PageTest& test;
  };

  // Every test starts and ends with the built-in images; the page set goes
  // first, then every hook a test may have installed. File dialogs answer
  // with `file_answer` (empty: cancelled) and are recorded in `file_requests`.
  void SetUp() override {
    ResetImagesToBuiltIn();
    pm.AddNotifier(&notifier);
    ui::SetFileDialogHandler([this](const ui::FileDialogRequest& request, std::string* path) {
      file_requests.push_back(request);
      *path = file_answer;
      return !file_answer.empty();
    });
  }
  void TearDown() override {
    pages.reset();
    pm.RemoveNotifier(&notifier);
    SetProfileSaver(nullptr);
    SetLightingPreview(nullptr);
    desktop::SetDesktopPointer(nullptr);
    ui::SetFileDialogHandler({});
    SetProgramFolderOverride("");
    ResetImagesToBuiltIn();
  }

  CPaintManagerUI pm;
  RouterNotifier notifier{*this};
  FakeDialogs dialogs;
  FakeDevices devices;
  FakeWindow window;
  RecordingSaver saver;  // for the tests that SetProfileSaver(&saver)
  std::string file_answer;
  std::vector<ui::FileDialogRequest> file_requests;
  std::unique_ptr<CPageSet> pages;
};

// Page tests against a simulated device (the test links trx_sim).
class SimPageTest : public PageTest {
 protected:
  // A simulated device of `kind` on its channel of `sim_devices`, opened
  // and connected.
  void AttachSimulator(sim::SimKind kind = sim::SimKind::Mouse) {
    backend = std::make_shared<sim::SimBackend>();
    firmware = std::make_shared<sim::SimFirmware>(kind);
    sim_id = backend->AddDevice(firmware);
    sim_devices = std::make_unique<FakeDevices>(backend);
    CDeviceChannel& channel = sim_devices->Channel(kind == sim::SimKind::Mouse      ? DeviceKind::Mouse
                                                   : kind == sim::SimKind::Keyboard ? DeviceKind::Keyboard
                                                                                    : DeviceKind::MousePad);
    channel.transport.want_read = channel.transport.want_write = true;
    channel.transport.device_path = backend->VendorPath(sim_id);
    ASSERT_EQ(channel.transport.Open(), 1);
    channel.connected = 1;
  }
  // The page set again, over the simulated devices.
  void UseSimulatedDevices(bool init = true) {
    pages = std::make_unique<CPageSet>(pm, dialogs, *sim_devices, window);
    if (init) pages->OnWindowInit();
  }

  std::shared_ptr<sim::SimBackend> backend;
  std::shared_ptr<sim::SimFirmware> firmware;
  int sim_id = -1;
  std::unique_ptr<FakeDevices> sim_devices;
};

}  // namespace trx::pages::testing
