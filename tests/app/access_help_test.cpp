// Help for devices that can't be opened.

#include "app/access_help.h"
#include "app/device_folder_watch.h"
#include "device/hidraw_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/platform/temp_home.h"
#include "tests/support/wait.h"

namespace trx::app {
namespace {

HidrawAccessProblem Problem(const char* node, uint16_t pid, int error = EACCES) {
  return {node, std::string("/dev/") + node, 0x0C45, pid, error};
}

std::vector<std::string> Nodes(const std::vector<HidrawAccessProblem>& problems) {
  std::vector<std::string> out;
  for (const auto& p : problems) out.push_back(p.node);
  return out;
}

TEST(AccessHelpTest, ToldOncePerPlugInAndOncePerDevice) {
  AccessHelp help;
  using V = std::vector<std::string>;
  // The mouse's three nodes give one message; a busy node is not an access problem.
  EXPECT_EQ(Nodes(help.NewProblems({Problem("hidraw1", 0x652C), Problem("hidraw2", 0x652C),
                                    Problem("hidraw3", 0x652C), Problem("hidraw4", 0x6758, EBUSY)})),
            V{"hidraw1"});
  // Every scan while it stays plugged in: nothing new.
  EXPECT_TRUE(help.NewProblems({Problem("hidraw1", 0x652C), Problem("hidraw2", 0x652C)}).empty());
  // The keyboard arrives: told about; the mouse still not again.
  EXPECT_EQ(Nodes(help.NewProblems({Problem("hidraw1", 0x652C), Problem("hidraw7", 0x8611)})), V{"hidraw7"});
  // Both unplugged, then the mouse plugged in again: told again.
  EXPECT_TRUE(help.NewProblems({}).empty());
  EXPECT_EQ(Nodes(help.NewProblems({Problem("hidraw1", 0x652C)})), V{"hidraw1"});
}

TEST(AccessHelpTest, TextsAndArguments) {
  EXPECT_EQ(FillAccessText("The TRX770 {device} ({node}): {command}. {other}", "mouse", "/dev/hidraw3", "sudo cp a b"),
            "The TRX770 mouse (/dev/hidraw3): sudo cp a b. {other}");
  EXPECT_EQ(ManualRuleCommand("/usr/share/trx770/70-trx770.rules"),
            "sudo cp '/usr/share/trx770/70-trx770.rules' '/etc/udev/rules.d/'");
  EXPECT_EQ(ManualRuleCommand("/home/a b/it's/70-trx770.rules"),
            "sudo cp '/home/a b/it'\\''s/70-trx770.rules' '/etc/udev/rules.d/'");
  EXPECT_EQ(RuleInstallArguments("/opt/trx770/share/trx770/70-trx770.rules"),
            (std::vector<std::string>{"/usr/bin/install", "-m", "0644", "-T", "--",
                                      "/opt/trx770/share/trx770/70-trx770.rules", "/etc/udev/rules.d/70-trx770.rules"}));
  EXPECT_STREQ(DeviceNameTextId(0x652C), "device_name_mouse");
  EXPECT_STREQ(DeviceNameTextId(0x7200), "device_name_keyboard");
  EXPECT_STREQ(DeviceNameTextId(0x6758), "device_name_pad");
}

TEST(AccessHelpTest, AnInstalledRuleIsFoundWhereUdevReadsIt) {
  test::TempHome home;
  const std::string lib = home.Path("lib/"), etc = home.Path("etc/");
  std::filesystem::create_directories(lib);
  std::filesystem::create_directories(etc);
  EXPECT_EQ(InstalledUdevRule({lib, etc}), "");
  std::ofstream(etc + "70-trx770.rules") << "x";
  EXPECT_EQ(InstalledUdevRule({lib, etc}), etc + "70-trx770.rules");
  std::ofstream(lib + "70-trx770.rules") << "x";
  EXPECT_EQ(InstalledUdevRule({lib, etc}), lib + "70-trx770.rules");
}

AccessHelp::InstallState WaitForEnd(AccessHelp& help) {
  for (;;) {
    AccessHelp::InstallState state = help.PollInstall();
    if (state != AccessHelp::InstallState::Running) return state;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

TEST(AccessHelpTest, InstallerExitStatusIsReportedOnce) {
  AccessHelp help;
  EXPECT_EQ(help.PollInstall(), AccessHelp::InstallState::Idle);
  ASSERT_TRUE(help.StartRuleInstall("/r", "true"));
  EXPECT_FALSE(help.StartRuleInstall("/r", "true"));  // one at a time
  EXPECT_EQ(WaitForEnd(help), AccessHelp::InstallState::Succeeded);
  EXPECT_EQ(help.PollInstall(), AccessHelp::InstallState::Idle);
  ASSERT_TRUE(help.StartRuleInstall("/r", "false"));  // pkexec refused or dismissed
  EXPECT_EQ(WaitForEnd(help), AccessHelp::InstallState::Failed);
  EXPECT_FALSE(help.StartRuleInstall("/r", "/nonexistent/pkexec"));
}

// The access check's wake-up; without it the check falls back on its timer.
TEST(AccessHelpTest, DeviceFolderChangesCallBackAndAVanishedFolderBreaksTheWatch) {
  test::TempHome home;
  const std::string dev = home.Path("dev");
  std::filesystem::create_directories(dev);
  std::atomic<int> calls{0};
  auto watch = CDeviceFolderWatch::Create(HidrawWatch::Create(dev), [&calls] { ++calls; });
  ASSERT_NE(watch, nullptr);
  for (const char* step : {"create", "remove"}) {
    const int before = calls.load();
    if (std::string(step) == "create") test::TempHome::WriteText(dev + "/hidraw3", "");
    else std::filesystem::remove(dev + "/hidraw3");
    EXPECT_TRUE(test::Eventually([&] { return calls.load() > before; }, std::chrono::seconds(2))) << step;
  }
  EXPECT_FALSE(watch->Broken());
  std::filesystem::remove_all(dev);
  EXPECT_TRUE(test::Eventually([&] { return watch->Broken(); }, std::chrono::seconds(2)));
}

}  // namespace
}  // namespace trx::app
