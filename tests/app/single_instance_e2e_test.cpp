// The real program, twice, on Qt's offscreen platform with an empty
// hidraw tree.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/single_instance.h"
#include "tests/platform/temp_home.h"
#include "tests/support/wait.h"

extern char** environ;

namespace trx {
namespace {

std::string ReadFile(const std::string& path) { return test::TempHome::ReadText(path); }

// An empty device tree, the machine store and the offscreen platform in `home`.
void UseEmptyMachine(test::TempHome& home) {
  const std::string hid = home.Path("hid");
  test::TempHome::WriteText(hid + "/sys/class/hidraw/.keep", "");
  test::TempHome::WriteText(hid + "/dev/.keep", "");
  setenv("TRX770_HID_ROOT", hid.c_str(), 1);
  setenv("TRX770_MACHINE_STORE", home.Path("machine.ini").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

pid_t Spawn(const std::string& stderr_path, const char* option = nullptr) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>(TRX770_PROGRAM), const_cast<char*>(option), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, TRX770_PROGRAM, &actions, nullptr, argv, environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

constexpr auto kBusyMachine = std::chrono::seconds(30);

bool WaitForText(const std::string& path, const std::string& text) {
  return test::Eventually([&] { return ReadFile(path).find(text) != std::string::npos; }, kBusyMachine);
}

// Exit status of the process, or -1 when it did not end within 30 s.
int WaitForExit(pid_t pid) {
  if (pid <= 0) return -1;
  int status = 0;
  if (test::Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, kBusyMachine))
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

TEST(SingleInstanceProgramTest, SecondStartWakesTheFirstAndExitsWithZero) {
  test::TempHome home;
  UseEmptyMachine(home);
  const std::string runtime = home.Path("run");
  test::TempHome::WriteText(runtime + "/KORVANTE_001.sock", "left by a crashed copy");
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  setenv("TRX770_DEBUG", "1", 1);

  const std::string first_err = home.Path("first.err");
  const pid_t first = Spawn(first_err);
  ASSERT_GT(first, 0);
  ASSERT_TRUE(WaitForText(first_err, "InitWindow")) << ReadFile(first_err);

  EXPECT_EQ(WaitForExit(Spawn(home.Path("second.err"))), 0);
  // The second copy never got as far as a window.
  EXPECT_EQ(ReadFile(home.Path("second.err")).find("InitWindow"), std::string::npos);
  // The first received the instance message ("软件标示 <n>，...").
  EXPECT_TRUE(WaitForText(first_err, "软件标示 ")) << ReadFile(first_err);

  kill(first, SIGTERM);
  EXPECT_EQ(WaitForExit(first), 0);
  EXPECT_NE(ReadFile(first_err).find("退出测试"), std::string::npos);
}

// SIGTERM while the program is still starting (before its window exists)
// is not lost: the window closes as soon as it is there.
TEST(SingleInstanceProgramTest, TerminationDuringTheStartEndsTheProgram) {
  test::TempHome home;
  UseEmptyMachine(home);
  setenv("XDG_RUNTIME_DIR", home.Path("run").c_str(), 1);
  ::mkdir(home.Path("run").c_str(), 0700);
  setenv("TRX770_DEBUG", "1", 1);
  const std::string err = home.Path("early.err");
  const pid_t program = Spawn(err);
  ASSERT_TRUE(WaitForText(err, "软件标示：")) << ReadFile(err);  // the signals are taken from here on
  kill(program, SIGTERM);
  EXPECT_EQ(WaitForExit(program), 0) << ReadFile(err);
}

// An owner that keeps the lock and never answers: after the bounded wait
// the later copy ends and says why.
TEST(SingleInstanceProgramTest, AnOwnerThatNeverAnswersIsNamedOnStderr) {
  test::TempHome home;
  UseEmptyMachine(home);
  const std::string runtime = home.Path("run");
  ::mkdir(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  SingleInstance holder("TARVOXDRVER", "ELSEWHERE", runtime);
  ASSERT_EQ(holder.Acquire(nullptr), SingleInstance::Result::First);
  const std::string err = home.Path("late.err");
  EXPECT_EQ(WaitForExit(Spawn(err)), 0);
  EXPECT_NE(ReadFile(err).find("TARVOXDRVER.lock but did not answer within 5 s"), std::string::npos) << ReadFile(err);
}

// A window that can't be created (no skin beside the program) is one of
// the program's own paths.
TEST(ProgramExitStatusTest, ZeroWithoutASkinAndNonZeroForABadOption) {
  test::TempHome home;
  UseEmptyMachine(home);
  test::TempHome::WriteText(home.Path("program/.keep"), "");  // a program folder without "skin/"
  setenv("XDG_RUNTIME_DIR", home.Path("run").c_str(), 1);
  setenv("TRX770_PROGRAM_DIR", home.Path("program").c_str(), 1);
  ::mkdir(home.Path("run").c_str(), 0700);

  const std::string no_skin_err = home.Path("no_skin.err");
  EXPECT_EQ(WaitForExit(Spawn(no_skin_err)), 0);
  EXPECT_NE(ReadFile(no_skin_err).find("could not be created"), std::string::npos) << ReadFile(no_skin_err);

  const std::string bad_err = home.Path("bad.err");
  EXPECT_EQ(WaitForExit(Spawn(bad_err, "--no-such-option")), 2);
  EXPECT_NE(ReadFile(bad_err).find("unknown option"), std::string::npos);
  unsetenv("TRX770_PROGRAM_DIR");
}

}  // namespace
}  // namespace trx
