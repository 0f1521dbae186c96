// Atomic whole-file writes and extension-case lookups.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/file_lookup.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::TempHome;

// A replaced file keeps its mode; no temporaries are left.
TEST(AtomicFileTest, WritesAndReplacesWholeFiles) {
  TempHome home;
  const std::string path = home.Path("a.bin");
  const uint8_t first[] = {1, 2, 3, 4, 5};
  ASSERT_TRUE(WriteFileAtomic(path, first, sizeof first));
  EXPECT_EQ(TempHome::ReadBytes(path), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomic(path, "\x09", 1));
  EXPECT_EQ(TempHome::ReadBytes(path), (std::vector<uint8_t>{9}));
  EXPECT_EQ(TempHome::List(home.root()), std::vector<std::string>{"a.bin"});
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFileTest, FailureBeforeRenameKeepsOldFileAndRemovesTemporary) {
  TempHome home;
  const std::string path = home.Path("p.config");
  TempHome::WriteText(path, "old contents");
  std::string seen;
  SetAtomicWriteHookForTesting([&](const std::string& target) {
    seen = target;
    return false;
  });
  EXPECT_FALSE(WriteFileAtomic(path, "new", 3));
  SetAtomicWriteHookForTesting(nullptr);
  EXPECT_EQ(seen, path);
  EXPECT_EQ(TempHome::ReadText(path), "old contents");
  EXPECT_EQ(TempHome::List(home.root()), std::vector<std::string>{"p.config"});
  EXPECT_FALSE(WriteFileAtomic(home.Path("no/such/x"), "a", 1));  // a missing folder fails
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(home.Path("no/such/x"), bytes));
  EXPECT_FALSE(ReadWholeFile(home.root(), bytes));  // a folder is not a file
}

// New files follow the umask, which is never changed (no thread ever sees a mask of 0).
TEST(AtomicFileTest, NewFilesNeverToggleTheUmask) {
  test::TempHome home;
  const mode_t old = ::umask(022);
  std::atomic<bool> done{false};
  std::atomic<int> zero_seen{0};
  std::thread watcher([&] {
    while (!done) {
      const mode_t m = ::umask(022);  // reads it (and puts back what it must be)
      if (m != 022) ++zero_seen;
    }
  });
  std::vector<std::thread> writers;
  for (int t = 0; t < 3; ++t)
    writers.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        const std::string path = home.Path("f" + std::to_string(t) + "_" + std::to_string(i));
        EXPECT_TRUE(WriteFileAtomic(path, "x", 1));
      }
    });
  for (std::thread& w : writers) w.join();
  done = true;
  watcher.join();
  struct stat st {};
  ASSERT_EQ(::stat(home.Path("f0_0").c_str(), &st), 0);
  ::umask(old);
  EXPECT_EQ(zero_seen, 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

// The exact name first, else the extension in any case (the stem exactly); folders are no files.
TEST(FileLookupTest, ExactNameThenExtensionInAnyCase) {
  TempHome home;
  TempHome::WriteText(home.Path("a.PRO"), "upper");
  TempHome::WriteText(home.Path("a.pro"), "lower");
  TempHome::WriteText(home.Path("profile1.pro"), "x");
  TempHome::WriteText(home.Path("msdengdefault.led"), "x");
  std::filesystem::create_directories(home.Path("x.PRO"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "a.pro"), home.Path("a.pro"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root() + "/", "a.PRO"), home.Path("a.PRO"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "profile1.PRO"), home.Path("profile1.pro"));
  EXPECT_EQ(ResolveExtensionCase(home.Path("msdengdefault.Led")), home.Path("msdengdefault.led"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "Profile1.pro"), "");
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "profile1.pr"), "");
  EXPECT_EQ(ResolveExtensionCase(home.Path("none.pro")), home.Path("none.pro"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "x.pro"), "");
  // Twins differing in the extension's case go; another stem stays.
  for (const char* n : {"a.Pro", "b.PRO", "A.PRO"}) TempHome::WriteText(home.Path(n), n);
  EXPECT_EQ(RemoveExtensionCaseTwins(home.Path("a.pro")), 2);
  EXPECT_EQ(TempHome::List(home.root()),
            (std::vector<std::string>{"A.PRO", "a.pro", "b.PRO", "msdengdefault.led", "profile1.pro", "x.PRO"}));
}

}  // namespace
}  // namespace trx
