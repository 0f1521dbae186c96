// Program links with a real window, presence threads and a simulated
// mouse: every save while a linked profile is in effect goes to its file; a
// reconnect pokes the foreground source so the link monitors look again.

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "presence/presence_messages.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "profile/effective_profile.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "tests/app/app_test_support.h"
#include "ui/core/combo.h"

namespace trx::app::testing {
namespace {

std::string Bytes(const std::string& path) { return test::TempHome::ReadText(path); }

class EffectiveProfileTest : public MainWndTest {
 protected:
  bool Ready() { return window->Channel(DeviceKind::Mouse).ready.load(); }
  std::string FileOf(int index) { return ProfileFilePath(*info, ProfileNameAt(*info, index), false); }

  const ProfileFamilyInfo* info = FindFamily(DeviceKind::Mouse, ProfileFamily::Device);
  std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>();
  std::shared_ptr<sim::SimFirmware> mouse = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  std::shared_ptr<FakeFront> front = std::make_shared<FakeFront>();
};

TEST_F(EffectiveProfileTest, SavesWhileALinkedProfileIsInEffectNeverReachTheUsersFile) {
  // Two mouse device profiles: "profile1" the user's choice, "profile2"
  // ("L") linked to the shooter, both holding the built-in record.
  ASSERT_TRUE(WritePrivateProfileStrings({{info->count_section, kIniKeyCount, "2"},
                                          {info->select_section, kIniKeySelect, "0"},
                                          {info->name_section, "0", "profile1"},
                                          {info->name_section, "1", "profile2"}},
                                         ProfileIniPath(DeviceKind::Mouse)));
  // The button save writes the key profile in effect too.
  const ProfileFamilyInfo* keys = FindFamily(DeviceKind::Mouse, ProfileFamily::Key);
  ASSERT_TRUE(WritePrivateProfileStrings({{keys->count_section, kIniKeyCount, "1"},
                                          {keys->select_section, kIniKeySelect, "0"},
                                          {keys->name_section, "0", "profile1"}},
                                         ProfileIniPath(DeviceKind::Mouse)));
  ResetImagesToBuiltIn();
  std::vector<uint8_t> data;
  WithImage([&](ConfigImages& images) { data = BuildProfileData(images, *info); });
  for (const char* name : {"profile1", "profile2"})
    ASSERT_EQ(WriteProfileFile(ProfileFilePath(*info, name, true), DeviceKind::Mouse, data.size(), data.data()), kProfileWriteOk);
  ASSERT_TRUE(WriteProgramLink(*info, 1, "/usr/bin/shooter"));
  InstallProfileSaver();  // the button page saves through it, as in the program
  const int id = backend->AddDevice(mouse);
  front->Set("/usr/bin/editor");
  CreateWindow({.backend = backend, .foreground = front}, /*presence=*/true);
  ASSERT_TRUE(PumpUntil([&] { return Ready() && !window->Queue(DeviceKind::Mouse).Busy(); }));
  const int linked = 1;
  const std::string user_file = Bytes(FileOf(0));
  const std::string linked_before = Bytes(FileOf(linked));
  ASSERT_FALSE(user_file.empty());

  front->Set("/usr/bin/shooter");
  ASSERT_TRUE(PumpUntil([&] { return EffectiveProfileIndex(*info) == linked; }));
  auto* combo = dynamic_cast<ui::CComboUI*>(Find("ms_device_profile_combo"));
  ASSERT_NE(combo, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return combo->GetCurSel() == linked; }));

  // The DPI button, then the read-all it asks for: saved as the profile in effect.
  mouse->PressDpiButton();
  window->SendReadMessage(kMsgMouseReadAll);
  ASSERT_TRUE(PumpUntil([&] { return !window->Queue(DeviceKind::Mouse).Busy(); }));
  // Unplugged and plugged again: the connect read loads and saves the linked profile.
  backend->Unplug(id);
  ASSERT_TRUE(PumpUntil([&] { return window->Channel(DeviceKind::Mouse).connected.load() == 0; }));
  const int pokes = front->pokes.load();
  backend->Plug(id);
  ASSERT_TRUE(PumpUntil([&] { return Ready() && !window->Queue(DeviceKind::Mouse).Busy() && front->pokes.load() > pokes; }));
  EXPECT_EQ(EffectiveProfileIndex(*info), linked);
  EXPECT_EQ(SelectedProfileIndex(*info), 0);
  EXPECT_NE(Bytes(FileOf(linked)), linked_before);
  EXPECT_EQ(Bytes(FileOf(0)), user_file);
  // A button edited (as the button page stores it) and saved: sent to the
  // mouse, then written into the linked profile's file only.
  const KeyAssignment edited{0x01, 0x10, 0x00};  // wheel button: the forward button's function
  WithImage([&](ConfigImages& images) {
    images.mouse.SetAssignment(images.mouse.ProfileIndex(), 1, edited.type, edited.param1, edited.param2);
  });
  const size_t boxes_before = boxes.size();
  Notify("ms_key_butt_prosave", "click");
  ASSERT_TRUE(PumpUntil([&] { return !window->Queue(DeviceKind::Mouse).Busy() && Find("ms_key_butt_prosave")->IsEnabled(); }));
  // Only the note that the save is done, no error.
  EXPECT_EQ(std::vector<std::string>(boxes.begin() + static_cast<long>(boxes_before), boxes.end()),
            std::vector<std::string>{"setting_done_text"});
  const std::string linked_saved = Bytes(FileOf(linked));
  ASSERT_GE(linked_saved.size(), kProfileHeaderSize + kKeyBlockSize);
  const std::string key_entry = linked_saved.substr(kProfileHeaderSize + kKeyAssignmentSize, kKeyAssignmentSize);
  EXPECT_EQ(key_entry, std::string({char(edited.type), char(edited.param1), char(edited.param2)}));
  EXPECT_EQ(Bytes(FileOf(0)), user_file);

  front->Set("/usr/bin/editor");
  ASSERT_TRUE(PumpUntil([&] { return EffectiveProfileIndex(*info) == 0 && combo->GetCurSel() == 0; }));
  ASSERT_TRUE(PumpUntil([&] { return !window->Queue(DeviceKind::Mouse).Busy(); }));
  EXPECT_EQ(Bytes(FileOf(0)), user_file);
  EXPECT_EQ(SelectedProfileIndex(*info), 0);
  window->DestroyWindow();
}

}  // namespace
}  // namespace trx::app::testing
