#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "platform/single_instance.h"
#include "tests/platform/temp_home.h"
#include "tests/support/wait.h"

namespace trx {
namespace {

class SingleInstanceTest : public ::testing::Test {
 protected:
  test::TempHome home_;
  std::string folder_ = home_.root();
};

TEST_F(SingleInstanceTest, CrashedCopyLeavesNothingThatBlocksTheNextStart) {
  // A child takes the lock and dies without cleaning up, leaving its socket file.
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto* si = new SingleInstance("TARVOXDRVER", "KORVANTE_001", folder_);
    int code = si->Acquire(nullptr) == SingleInstance::Result::First ? 0 : 3;
    ::_exit(code);  // no destructor: lock and socket file are left as a crash leaves them
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  struct stat st;
  ASSERT_EQ(::stat((folder_ + "/KORVANTE_001.sock").c_str(), &st), 0) << "the dead copy's socket file stays behind";

  std::atomic<int> wakes{0};
  SingleInstance next("TARVOXDRVER", "KORVANTE_001", folder_);
  ASSERT_EQ(next.Acquire([&] { ++wakes; }), SingleInstance::Result::First);
  SingleInstance later("TARVOXDRVER", "KORVANTE_001", folder_);
  EXPECT_EQ(later.Acquire(nullptr), SingleInstance::Result::Woken);
  EXPECT_TRUE(test::Eventually([&] { return wakes >= 1; }));
}

// A later copy is woken only by the owner's answer; refused or unanswered,
// it waits for the lock (bounded) and runs as the first copy once it has it.
TEST_F(SingleInstanceTest, LaterCopyWithoutAnAnswerWaitsForTheLock) {
  using Result = SingleInstance::Result;
  constexpr int kWaitMs = 400;
  enum Owner { kAnswers, kClosingLeavesSoon, kNeverListens, kNeverAnswers };
  const std::tuple<Owner, Result, int> cases[] = {  // owner, the later copy's result, its least wait (ms)
      {kAnswers, Result::Woken, 0},
      {kClosingLeavesSoon, Result::First, 200},
      {kNeverListens, Result::NotWoken, kWaitMs},
      {kNeverAnswers, Result::NotWoken, kWaitMs},  // accepts (backlog), reads nothing, answers nothing
  };
  for (const auto& [kind, expected, least_ms] : cases) {
    SCOPED_TRACE(kind);
    std::atomic<int> wakes{0};
    const bool listens = kind == kAnswers || kind == kClosingLeavesSoon;
    auto owner = std::make_unique<SingleInstance>("TARVOXDRVER", listens ? "KORVANTE_001" : "ELSEWHERE", folder_);
    ASSERT_EQ(owner->Acquire([&] { ++wakes; }), Result::First);
    const int silent = kind == kNeverAnswers ? ::socket(AF_UNIX, SOCK_STREAM, 0) : -1;
    if (silent >= 0) {
      sockaddr_un addr{AF_UNIX, {}};
      const std::string path = folder_ + "/KORVANTE_001.sock";
      std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
      ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
      ASSERT_EQ(::listen(silent, 8), 0);
    }
    if (kind == kClosingLeavesSoon) owner->StopListening();
    const auto start = std::chrono::steady_clock::now();
    auto later = std::async(std::launch::async, [&] {
      SingleInstance copy("TARVOXDRVER", "KORVANTE_001", folder_, kWaitMs);
      return copy.Acquire(nullptr);
    });
    if (kind == kClosingLeavesSoon) {
      std::this_thread::sleep_for(std::chrono::milliseconds(least_ms));
      owner.reset();
    }
    EXPECT_EQ(later.get(), expected);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(least_ms));
    EXPECT_LT(took, std::chrono::seconds(5));  // the wait plus one answer's wait, with room for a busy machine
    EXPECT_EQ(wakes, kind == kAnswers ? 1 : 0);  // answered only after the wake-up was passed on
    if (silent >= 0) ::close(silent);
    std::filesystem::remove(folder_ + "/KORVANTE_001.sock");
  }
}

// The fallback runtime folder (no XDG_RUNTIME_DIR) under a temporary folder.
class RuntimeFallbackTest : public SingleInstanceTest {
 protected:
  void SetUp() override {
    if (const char* v = std::getenv("XDG_RUNTIME_DIR")) saved_runtime_ = v;
    if (const char* v = std::getenv("TMPDIR")) saved_tmp_ = v;
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("TMPDIR", folder_.c_str(), 1);
    runtime_ = folder_ + "/trx770-" + std::to_string(::getuid());
  }
  void TearDown() override {
    if (saved_runtime_) ::setenv("XDG_RUNTIME_DIR", saved_runtime_->c_str(), 1);
    if (saved_tmp_) ::setenv("TMPDIR", saved_tmp_->c_str(), 1);
    else ::unsetenv("TMPDIR");
  }
  // Acquire by a copy using the fallback folder, with what it said on stderr.
  SingleInstance::Result AcquireWithFallback(std::string* said) {
    ::testing::internal::CaptureStderr();
    SingleInstance si("TARVOXDRVER", "KORVANTE_001");
    const SingleInstance::Result result = si.Acquire(nullptr);
    *said = ::testing::internal::GetCapturedStderr();
    return result;
  }

  std::string runtime_;
  std::optional<std::string> saved_runtime_, saved_tmp_;
};

TEST_F(RuntimeFallbackTest, FolderIsCreatedPrivateAndUsed) {
  const mode_t old_mask = ::umask(0);  // the folder's mode must not depend on the umask
  std::string said;
  EXPECT_EQ(AcquireWithFallback(&said), SingleInstance::Result::First);
  ::umask(old_mask);
  struct stat st;
  ASSERT_EQ(::lstat(runtime_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(said, "");
}

TEST_F(RuntimeFallbackTest, FolderOpenToOthersOrOfAnotherUserIsRefusedWithTheReason) {
  const std::string runtime = runtime_;
  const std::tuple<const char*, std::function<void()>, const char*> cases[] = {  // what, preparation, reason
      {"open to others", [runtime] { ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0); ::chmod(runtime.c_str(), 0777); },
       "open to other users (mode 777)"},
      {"group may enter", [runtime] { ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0); ::chmod(runtime.c_str(), 0710); },
       "open to other users (mode 710)"},
      {"a link to another user's folder", [runtime] { ASSERT_EQ(::symlink("/", runtime.c_str()), 0); },
       "is not a folder"},
      {"another user's folder",
       [runtime] {
         ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
         // Only root can give the folder away: this case needs root.
         if (::getuid() == 0) {
           ASSERT_EQ(::chown(runtime.c_str(), 65534, 65534), 0);
         }
       },
       ::getuid() == 0 ? "belongs to user 65534" : nullptr},
  };
  for (const auto& [what, prepare, reason] : cases) {
    SCOPED_TRACE(what);
    std::filesystem::remove_all(runtime_);
    prepare();
    if (reason == nullptr) continue;
    std::string said;
    EXPECT_EQ(AcquireWithFallback(&said), SingleInstance::Result::Failed);
    EXPECT_NE(said.find(runtime_), std::string::npos) << said;
    EXPECT_NE(said.find(reason), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists(runtime_ + "/TARVOXDRVER.lock"));
  }
}

// Every later copy wakes the first and hands over its activation token (to raise the
// window on Wayland); a malformed token is not passed on.
TEST_F(SingleInstanceTest, WakeUpCarriesTheActivationToken) {
  std::atomic<int> wakes{0};
  SingleInstance first("TARVOXDRVER", "KORVANTE_001", folder_);
  ASSERT_EQ(first.Acquire([&] { ++wakes; }), SingleInstance::Result::First);
  TakeActivationToken();
  const std::pair<const char*, const char*> cases[] = {
      {"gnome-shell/TRX770/1234-5-host_TIME42", "gnome-shell/TRX770/1234-5-host_TIME42"}, {"two words", ""}, {"", ""}};
  int expected_wakes = 0;
  for (const auto& [token, expected] : cases) {
    ::setenv("XDG_ACTIVATION_TOKEN", token, 1);
    SingleInstance later("TARVOXDRVER", "KORVANTE_001", folder_);
    EXPECT_EQ(later.Acquire([] { FAIL() << "a later copy never listens"; }), SingleInstance::Result::Woken);
    EXPECT_TRUE(test::Eventually([&, want = ++expected_wakes] { return wakes >= want; }));
    EXPECT_EQ(TakeActivationToken(), expected) << token;
    EXPECT_EQ(TakeActivationToken(), "");  // taken once
  }
  ::unsetenv("XDG_ACTIVATION_TOKEN");
}

}  // namespace
}  // namespace trx
