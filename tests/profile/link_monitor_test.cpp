// The program-link monitors over a fake foreground source and selector.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ini_file.h"
#include "profile/init_profiles.h"
#include "profile/link_monitor.h"
#include "profile/profile_keys.h"
#include "profile/profile_store.h"
#include "profile/program_links.h"
#include "tests/profile/profile_fixture.h"
#include "tests/support/fake_front.h"

namespace trx {
namespace {

using foreground::ForegroundStatus;

// Selects as the window does (not the one `shown`, no "select" written); `refuse` comes first.
class FakeSelector : public IProfileSelector {
 public:
  LinkSelectResult SelectLinkedProfile(const ProfileFamilyInfo& family, int index) override {
    std::lock_guard<std::mutex> lock(mutex);
    ++asked;
    if (gone) return LinkSelectResult::Gone;
    if (!refuse.empty()) {
      const LinkSelectResult r = refuse.front();
      refuse.erase(refuse.begin());
      return r;
    }
    if (index == shown) return LinkSelectResult::AlreadySelected;
    shown = index;
    selections.push_back(index);
    if (during_first_select && selections.size() == 1) during_first_select();
    if (user_picks_during >= 0)  // the user picks another profile meanwhile
      WritePrivateProfileString(family.select_section, kIniKeySelect, std::to_string(user_picks_during),
                                ProfileIniPath(family.kind));
    return LinkSelectResult::Selected;
  }
  std::mutex mutex;  // guards the members
  int shown = 0;
  bool gone = false;
  int user_picks_during = -1;
  std::vector<int> selections;
  std::vector<LinkSelectResult> refuse;
  int asked = 0;
  std::function<void()> during_first_select;
};

class LinkMonitorTest : public test::ProfileTest {
 protected:
  void SetUp() override {
    ProfileTest::SetUp();
    info = FindFamily(DeviceKind::Mouse, ProfileFamily::Device);
    ASSERT_TRUE(WritePrivateProfileStrings({{info->count_section, kIniKeyCount, "3"}, {info->select_section, kIniKeySelect, "0"}},
                                           ProfileIniPath(DeviceKind::Mouse)));
    ASSERT_TRUE(WriteProgramLink(*info, 1, "/usr/bin/shooter"));
    ASSERT_TRUE(WriteProgramLink(*info, 2, "/games/pfx/drive_c/Race/race.exe"));
    param = {.family = info, .source = &source, .selector = &selector, .stop = &stop};
  }
  int SelectInIni() { return SelectedProfileIndex(*info); }

  const ProfileFamilyInfo* info = nullptr;
  test::FakeFront source;
  FakeSelector selector;
  CEvent stop{CEvent::Reset::Manual};
  LinkMonitorParam param;
};

TEST_F(LinkMonitorTest, EachLinkedProgramSelectsItsProfileAndAnyOtherRestoresTheUsersChoice) {
  struct Step { ForegroundStatus status; const char* path; int expected_index; bool linked; };
  const Step steps[] = {
      {ForegroundStatus::Program, "/usr/bin/shooter", 1, true},
      {ForegroundStatus::Program, "/GAMES/pfx/drive_c/Race/RACE.EXE", 2, true},  // case ignored
      {ForegroundStatus::Program, "/usr/bin/editor", 0, false},
      {ForegroundStatus::None, "", 0, false},
      {ForegroundStatus::Program, "/usr/bin/shooter", 1, true},
      {ForegroundStatus::Program, "/usr/bin/shooter-2", 0, false},  // only equal paths match
  };
  for (const Step& step : steps) {
    source.Set(step.status, step.path);
    const LinkCycleResult r = RunLinkCycle(param);
    EXPECT_EQ(r.index, step.expected_index) << step.path;
    EXPECT_EQ(r.linked, step.linked) << step.path;
    EXPECT_EQ(selector.shown, step.expected_index) << step.path;
    EXPECT_EQ(SelectInIni(), 0) << "select names the user's choice after " << step.path;
  }
  EXPECT_EQ(selector.selections, (std::vector<int>{1, 2, 0, 1, 0}));
}

TEST_F(LinkMonitorTest, TheFirstLinkWinsAndUnlinkedOrStaleEntriesNeverMatch) {
  // Profile 0 was linked and unlinked: its old path stays in the file with flag 0.
  ASSERT_TRUE(WritePrivateProfileStrings({{info->link_section, "0", "0"}, {info->process_section, "0", "/usr/bin/old"}},
                                         ProfileIniPath(DeviceKind::Mouse)));
  // Entries past the count (left behind by a delete) don't count either.
  ASSERT_TRUE(WriteProgramLink(*info, 3, "/usr/bin/old"));
  source.Set(ForegroundStatus::Program, "/usr/bin/old");
  EXPECT_FALSE(RunLinkCycle(param).linked);
  ASSERT_TRUE(WriteProgramLink(*info, 0, "/usr/bin/shooter"));
  source.Set(ForegroundStatus::Program, "/usr/bin/shooter");
  EXPECT_EQ(RunLinkCycle(param).index, 0);
}

TEST_F(LinkMonitorTest, AProgramThatCantBeInspectedCountsAsNoLinkedProgramWithTheDebugLine) {
  source.Set(ForegroundStatus::Program, "/usr/bin/shooter");
  RunLinkCycle(param);
  source.Set(ForegroundStatus::Unknown);  // never compared with the path of the cycle before
  const LinkCycleResult r = RunLinkCycle(param);
  EXPECT_EQ(r.index, 0);
  EXPECT_FALSE(r.linked);
  const auto seen = DebugLines();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kDebugForegroundUnreadable), 1);
}

TEST_F(LinkMonitorTest, AChoiceTheUserMakesDuringACycleIsKept) {
  selector.user_picks_during = 2;
  source.Set(ForegroundStatus::Program, "/usr/bin/shooter");
  RunLinkCycle(param);
  EXPECT_EQ(SelectInIni(), 2);
}

// Across cycles: nothing is asked while the front program stays, a select not through is
// retried, and the user's own pick under a linked program stays.
TEST_F(LinkMonitorTest, ActsOnlyWhenTheProgramInFrontChangesAndRetriesWhatDidNotGetThrough) {
  LinkMonitorState state;
  param.state = &state;
  EXPECT_EQ(RunLinkCycle(param).select, LinkSelectResult::AlreadySelected);  // start: the user's profile is in effect
  EXPECT_FALSE(RunLinkCycle(param).acted);
  selector.refuse = {LinkSelectResult::NotReady, LinkSelectResult::Failed};
  source.Set(ForegroundStatus::Program, "/usr/bin/shooter");
  EXPECT_EQ(RunLinkCycle(param).select, LinkSelectResult::NotReady);
  EXPECT_EQ(RunLinkCycle(param).select, LinkSelectResult::Failed);
  EXPECT_EQ(RunLinkCycle(param).select, LinkSelectResult::Selected);
  EXPECT_EQ(selector.shown, 1);
  selector.shown = 0;  // the user picks profile 0 in the combo
  EXPECT_FALSE(RunLinkCycle(param).acted);
  EXPECT_EQ(selector.shown, 0);
  source.Set(ForegroundStatus::Program, "/usr/bin/editor");
  EXPECT_EQ(RunLinkCycle(param).select, LinkSelectResult::AlreadySelected);
  EXPECT_EQ(selector.asked, 5);
  EXPECT_EQ(SelectInIni(), 0);
}

TEST(LinkMonitorFamilies, TheMouseLightFamilyIsStoredButNotActedOn) {
  EXPECT_FALSE(HasLinkMonitor(DeviceKind::Mouse, ProfileFamily::Light));
  EXPECT_EQ(LinkMonitorExitLine(DeviceKind::Mouse, ProfileFamily::Light), nullptr);
  int monitored = 0;
  for (const ProfileFamilyInfo* f : FamiliesOf(DeviceKind::Mouse)) monitored += HasLinkMonitor(f->kind, f->family);
  EXPECT_EQ(monitored, 2);
  EXPECT_STREQ(LinkMonitorExitLine(DeviceKind::Mouse, ProfileFamily::Device), "鼠标灯光进程侦测线程设定退出");
  EXPECT_STREQ(LinkMonitorExitLine(DeviceKind::MousePad, ProfileFamily::Light), "鼠标垫灯光进程侦测线程设定退出");
}

TEST(LinkMonitorWait, ASelectWaitingForItsDeviceWaitsForItsConnectNotForTheNextCycle) {
  struct Case { bool hears, pending; LinkSelectResult last; int wait_ms; };
  for (const Case c : {Case{false, true, LinkSelectResult::NotReady, kLinkCycleMs},
                       Case{false, false, LinkSelectResult::Selected, kLinkCycleMs},
                       Case{true, true, LinkSelectResult::NotReady, kLinkQuietCycleMs},
                       Case{true, true, LinkSelectResult::Failed, kLinkCycleMs},
                       Case{true, false, LinkSelectResult::Selected, kLinkQuietCycleMs}}) {
    SCOPED_TRACE(static_cast<int>(c.last));
    EXPECT_EQ(LinkCycleWaitMs(c.hears, c.pending, c.last), c.wait_ms);
  }
}

TEST_F(LinkMonitorTest, AProgramComingToTheFrontWhileASelectRunsIsFollowedAtOnceNotACycleLater) {
  source.Set(ForegroundStatus::Program, "/usr/bin/shooter");
  selector.during_first_select = [this] {
    source.Set(ForegroundStatus::Program, "/games/pfx/drive_c/Race/race.exe");
  };
  const auto start = std::chrono::steady_clock::now();
  std::thread monitor([this] { LinkMonitorThread(param); });
  for (int i = 0; i < 300; ++i) {
    {
      std::lock_guard<std::mutex> lock(selector.mutex);
      if (selector.shown == 2) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const auto took = std::chrono::steady_clock::now() - start;
  std::this_thread::sleep_for(std::chrono::milliseconds(150));  // past the 100 ms pause after the selection
  const auto before_stop = std::chrono::steady_clock::now();
  stop.Set();  // the thread is in its 2 s wait
  monitor.join();
  EXPECT_LT(std::chrono::steady_clock::now() - before_stop, std::chrono::milliseconds(50));
  EXPECT_EQ(selector.selections, (std::vector<int>{1, 2}));
  EXPECT_LT(took, std::chrono::milliseconds(1000));  // a cycle is 2000 ms
  EXPECT_EQ(DebugLines().back(), "鼠标灯光进程侦测线程设定退出");
  EXPECT_EQ(SelectInIni(), 0);
}

TEST_F(LinkMonitorTest, TheThreadEndsWhenTheWindowIsGone) {
  selector.gone = true;
  std::atomic<bool> ended{false};
  std::thread monitor([this, &ended] {
    LinkMonitorThread(param);
    ended = true;
  });
  // Without the stop event it must end on its own, well within one cycle.
  for (int i = 0; i < 100 && !ended; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const bool ended_alone = ended;
  stop.Set();  // so that a thread that kept running can be joined
  monitor.join();
  EXPECT_TRUE(ended_alone);
  EXPECT_EQ(selector.selections, std::vector<int>{});
  ASSERT_FALSE(DebugLines().empty());
  EXPECT_EQ(DebugLines().back(), "鼠标灯光进程侦测线程设定退出");
}

TEST_F(LinkMonitorTest, AnAbsurdCountInTheIndexIsCutToTheLimit) {
  ASSERT_TRUE(WritePrivateProfileString(info->count_section, kIniKeyCount, "2000000000", ProfileIniPath(DeviceKind::Mouse)));
  EXPECT_EQ(ProfileCount(*info), kProfileCountLimit);
  EXPECT_EQ(ReadProgramLinks(*info, 2000000000).size(), static_cast<size_t>(kProfileCountLimit));
  source.Set(ForegroundStatus::Program, "/usr/bin/shooter");
  EXPECT_EQ(RunLinkCycle(param).index, 1);
}

}  // namespace
}  // namespace trx
