// The tray menu's "Back up device memory..." and "Restore device
// memory..." against a simulated mouse: the items under connected devices
// only, a backup through the save dialog, a restore only after the
// confirmation, a damaged file refused before the device is touched.

#include <thread>
#include <gtest/gtest.h>

#include "sim/sim_backend.h"
#include "tests/app/app_test_support.h"
#include "ui/window/file_dialog.h"

namespace trx::app::testing {
namespace {

class BackupMenuTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    backend = sim::SimBackend::WithStandardDevices();
    CreateWindow({.backend = backend});
    OpenChannel(DeviceKind::Mouse, backend->VendorPath(0));
    ui::SetFileDialogHandler([this](const ui::FileDialogRequest&, std::string* path) {
      *path = chosen;
      return true;
    });
    boxes.clear();  // the start-up notices
  }
  void TearDown() override {
    ui::SetFileDialogHandler({});
    MainWndTest::TearDown();
  }
  // Runs a menu command and waits for its device operation and message box.
  void Run(const char* item) {
    window->RunMenuCommand(item, "");
    queue().RunUntil([&] { return !window->DeviceOperationBusy(); });
    Pump();
    // The read-all a restore asks for runs on the queue too.
    while (window->Queue(DeviceKind::Mouse).Busy()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Pump();
  }

  std::shared_ptr<sim::SimBackend> backend;
  std::string chosen;
};

TEST_F(BackupMenuTest, BacksUpAndRestoresTheMouseAfterAConfirmation) {
  const std::vector<std::string> items = MenuItems();
  for (const char* name : {"devbackup_mouse", "devrestore_mouse"})
    EXPECT_NE(std::find(items.begin(), items.end(), name), items.end()) << name;
  EXPECT_EQ(std::find(items.begin(), items.end(), "devbackup_pad"), items.end());  // not connected

  std::shared_ptr<sim::SimFirmware> mouse = backend->Firmware(0);
  const std::vector<uint8_t> memory = mouse->SaveMemory();
  chosen = home_.Path("mouse.trxbak");
  Run("devbackup_mouse");
  EXPECT_EQ(boxes, std::vector<std::string>{"message_backup_saved"});

  mouse->SetSettingsByte(64 + 6, 0x42);
  const std::vector<uint8_t> changed = mouse->SaveMemory();
  answer = "cancel_btn";
  Run("devrestore_mouse");
  EXPECT_EQ(boxes.back(), "message_restore_confirm");
  EXPECT_EQ(mouse->SaveMemory(), changed);

  answer = "confirm_btn";
  Run("devrestore_mouse");
  EXPECT_EQ(boxes.back(), "message_restore_done");
  EXPECT_EQ(mouse->SaveMemory(), memory);

  std::vector<uint8_t> cut = test::TempHome::ReadBytes(chosen);
  cut.resize(100);
  chosen = home_.Path("cut.trxbak");
  test::TempHome::WriteBytes(chosen, cut);
  mouse->ClearRequests();
  Run("devrestore_mouse");
  EXPECT_EQ(boxes.back(), "message_backup_damaged");
  EXPECT_EQ(mouse->RequestCount(), 0u);
}

}  // namespace
}  // namespace trx::app::testing
