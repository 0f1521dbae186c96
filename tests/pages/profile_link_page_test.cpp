// The program-link controls over the real main layout.

#include <sys/stat.h>

#include <unistd.h>

#include <fstream>

#include "pages/profile_bar.h"
#include "pages/profile_link_page.h"
#include "platform/ini_file.h"
#include "profile/profile_keys.h"
#include "profile/program_links.h"
#include "tests/pages/page_fixture.h"
#include "tests/platform/temp_home.h"
#include "tests/support/fake_front.h"

namespace trx::pages::testing {
namespace {

class ProfileLinkPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    Build();
    info = FindFamily(DeviceKind::Mouse, ProfileFamily::Device);
    for (const char* name : {"profile1", "profile2", "profile3"})
      pages->ProfileLists().AddItem(DeviceKind::Mouse, ProfileFamily::Device, name, kProfileComboItemHeight);
    ASSERT_TRUE(WritePrivateProfileString(info->count_section, kIniKeyCount, "3", ProfileIniPath(DeviceKind::Mouse)));
    Combo()->SelectItem(0, false, false);
    Select("ms_tab");  // the mouse's profile panel on screen
    Find("ms_profile_fun_spead_tab")->SetVisible(true);
    shooter = MakeFile("shooter", 0755);
    race = MakeFile("race.exe", 0644);  // a Windows program: not marked executable
    notes = MakeFile("notes.txt", 0644);
  }
  std::string MakeFile(const char* name, mode_t mode) {
    const std::string path = home.Path(name);
    std::ofstream(path) << "x";
    chmod(path.c_str(), mode);
    return path;
  }
  CComboUI* Combo() { return dynamic_cast<CComboUI*>(Find("ms_device_profile_combo")); }
  COptionUI* Check() { return dynamic_cast<COptionUI*>(Find("ms_device_profile_link_check")); }
  void Tick(bool ticked) { Check()->Selected(ticked, true); }
  std::string Edit() { return Find("ms_device_profile_link_edit")->GetText(); }
  ProgramLink Link(int index) { return ReadProgramLink(*info, index); }

  test::TempHome home;
  const ProfileFamilyInfo* info = nullptr;
  std::string shooter, race, notes;
};

TEST_F(ProfileLinkPageTest, TickingTheBoxLinksTheSelectedProfileToTheChosenProgram) {
  struct Case {
    std::string* chosen;  // null: the dialog is cancelled
    bool linked;
    const char* shown;
    bool container;
  };
  const Case cases[] = {
      {&shooter, true, "shooter", true}, {&race, true, "race.exe", true},
      {&notes, false, " ", true},  // not a program: unlinked
      {nullptr, false, " ", false},
  };
  for (const Case& c : cases) {
    file_answer = c.chosen != nullptr ? *c.chosen : "";
    Tick(false);
    Tick(true);
    const ProgramLink link = Link(0);
    EXPECT_EQ(link.linked, c.linked) << file_answer;
    if (c.linked) { EXPECT_EQ(link.program, file_answer); }
    EXPECT_EQ(Edit(), c.shown) << file_answer;
    EXPECT_EQ(Check()->IsSelected(), c.linked) << file_answer;
    if (c.linked) { EXPECT_EQ(Visible("ms_device_profile_link_name_hor"), c.container) << file_answer; }
  }
  // The chooser takes any file; the choice is checked afterwards.
  ASSERT_FALSE(file_requests.empty());
  EXPECT_FALSE(file_requests[0].save);
  ASSERT_EQ(file_requests[0].filters.size(), 1u);
  EXPECT_EQ(file_requests[0].filters[0].second, "*");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ProfileLinkPageTest, AProgramLinkedToAnotherProfileIsRefusedWithMessage13) {
  file_answer = shooter;
  Tick(true);
  ASSERT_TRUE(Link(0).linked);
  Combo()->SelectItem(1, false, false);
  Tick(false);
  Tick(true);
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kMessageProgramLinked}));
  EXPECT_FALSE(Check()->IsSelected());
  EXPECT_FALSE(Link(1).linked);
  // The chooser button refuses it as well (a second link would never act).
  Notify("ms_device_profile_link_btn", "click");
  EXPECT_EQ(dialogs.messages.size(), 2u);
  EXPECT_FALSE(Link(1).linked);
  // Choosing it again for its own profile is fine.
  Combo()->SelectItem(0, false, false);
  Notify("ms_device_profile_link_btn", "click");
  EXPECT_EQ(dialogs.messages.size(), 2u);
  EXPECT_TRUE(Link(0).linked);
}

TEST_F(ProfileLinkPageTest, ClearingTheBoxOrTheUnlinkButtonUnlinks) {
  file_answer = shooter;
  Tick(true);
  Tick(false);
  EXPECT_FALSE(Link(0).linked);
  EXPECT_EQ(Edit(), " ");
  Notify("ms_device_profile_link_btn", "click");
  EXPECT_TRUE(Link(0).linked);
  EXPECT_TRUE(Check()->IsSelected());
  Notify("ms_device_cancle_link_btn", "click");
  EXPECT_FALSE(Link(0).linked);
  EXPECT_FALSE(Check()->IsSelected());
  EXPECT_FALSE(Visible("ms_device_profile_link_name_hor"));
}

TEST_F(ProfileLinkPageTest, TheControlsShowTheLinkOfTheSelectedProfile) {
  ASSERT_TRUE(WriteProgramLink(*info, 2, "/opt/games/Race/race.exe"));
  CProfileLinkPage& links = pages->ProfileLinks();
  links.ShowLinkOfProfile(DeviceKind::Mouse, ProfileFamily::Device, 2);
  EXPECT_TRUE(Check()->IsSelected());
  EXPECT_EQ(Edit(), "race.exe");
  EXPECT_TRUE(Visible("ms_device_profile_link_name_hor"));
  links.ShowLinkOfProfile(DeviceKind::Mouse, ProfileFamily::Device, 1);
  EXPECT_FALSE(Check()->IsSelected());
  EXPECT_FALSE(Visible("ms_device_profile_link_name_hor"));
  // A stored path without '/' names no program: the controls stay.
  ASSERT_TRUE(WriteProgramLink(*info, 1, "race.exe"));
  links.ShowLinkOfProfile(DeviceKind::Mouse, ProfileFamily::Device, 2);
  links.ShowLinkOfProfile(DeviceKind::Mouse, ProfileFamily::Device, 1);
  EXPECT_EQ(Edit(), "race.exe");
  EXPECT_TRUE(Check()->IsSelected());
}

TEST_F(ProfileLinkPageTest, WithoutABackendEveryLinkControlIsOffAndSaysWhy) {
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_en.xml"));
  pages->ProfileLinks().SetLinkingUnavailable("link_reason_wayland");
  for (const names::LinkControlNames& link : names::kLinkControls) {  // Find: every one is in the layout
    Find(link.container);
    EXPECT_FALSE(Find(link.check)->IsEnabled()) << link.check;
    EXPECT_FALSE(Find(link.button)->IsEnabled()) << link.button;
    EXPECT_FALSE(Find(link.pick)->IsVisible()) << link.pick;
    if (link.kind == DeviceKind::Mouse) { EXPECT_TRUE(Visible(link.container)) << link.container; }
    EXPECT_EQ(Find(link.edit)->GetText(), "Off: not supported on this desktop") << link.edit;
  }
  // The check box can't link, even when its state is changed.
  file_answer = shooter;
  Tick(true);
  EXPECT_FALSE(Link(0).linked);
  for (const names::UnlinkButton& unlink : names::kUnlinkButtons) EXPECT_FALSE(Visible(unlink.button));

  // The desktop's script answers later: the stored links come back, usable.
  ASSERT_TRUE(WriteProgramLink(*info, 0, race));
  pages->ProfileLinks().SetLinkingAvailable();
  for (const names::LinkControlNames& link : names::kLinkControls) {
    EXPECT_TRUE(Find(link.check)->IsEnabled()) << link.check;
    if (link.kind == DeviceKind::Mouse) { EXPECT_TRUE(Find(link.pick)->IsVisible()) << link.pick; }  // on screen
  }
  EXPECT_TRUE(Visible("ms_device_cancle_link_btn"));
  EXPECT_EQ(Edit(), "race.exe");
  EXPECT_TRUE(Check()->IsSelected());
  Tick(false);
  EXPECT_FALSE(Link(0).linked);
}

TEST_F(ProfileLinkPageTest, PickingAWindowLinksTheNextOtherProgramInFront) {
  test::FakeFront source;
  pages->ProfileLinks().SetForegroundSource(&source);
  Combo()->SelectItem(1, false, false);
  Notify("ms_device_profile_link_pick_btn", "click");
  EXPECT_TRUE(pages->ProfileLinks().Picking());
  EXPECT_EQ(window.calls.back(), "timer " + std::to_string(kTimerLinkPick) + " " + std::to_string(kLinkPickPeriodMs));
  // This program itself, then nothing in front: still waiting.
  source.Set(foreground::ForegroundStatus::Program, "/usr/bin/trx770", getpid());
  pages->ProfileLinks().OnPickTimer();
  source.Set(foreground::ForegroundStatus::None);
  pages->ProfileLinks().OnPickTimer();
  EXPECT_FALSE(Link(1).linked);
  // A Wine game comes to the front: linked by its Windows executable.
  source.Set(foreground::ForegroundStatus::Program, "/games/pfx/drive_c/Race/race.exe", getpid() + 1);
  pages->ProfileLinks().OnPickTimer();
  EXPECT_FALSE(pages->ProfileLinks().Picking());
  EXPECT_EQ(window.calls.back(), "kill timer " + std::to_string(kTimerLinkPick));
  EXPECT_TRUE(Link(1).linked);
  EXPECT_EQ(Link(1).program, "/games/pfx/drive_c/Race/race.exe");
  EXPECT_EQ(Edit(), "race.exe");

  // A pick that sees no other program ends after 10 s, the link unchanged;
  // one that sees a program linked elsewhere is refused.
  Combo()->SelectItem(2, false, false);
  Notify("ms_device_profile_link_pick_btn", "click");
  source.Set(foreground::ForegroundStatus::None);
  for (int i = 0; i < kLinkPickTicks; ++i) pages->ProfileLinks().OnPickTimer();
  EXPECT_FALSE(pages->ProfileLinks().Picking());
  EXPECT_FALSE(Link(2).linked);
  EXPECT_FALSE(Visible("ms_device_profile_link_name_hor"));
  Notify("ms_device_profile_link_pick_btn", "click");
  source.Set(foreground::ForegroundStatus::Program, "/games/pfx/drive_c/Race/race.exe", getpid() + 1);
  pages->ProfileLinks().OnPickTimer();
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kMessageProgramLinked}));
  EXPECT_FALSE(Link(2).linked);
}

}  // namespace
}  // namespace trx::pages::testing
