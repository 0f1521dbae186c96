// Atomic whole-file writes and extension-case lookups.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/atomic_file.h"
#include "platform/file_lookup.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::TempHome;

TEST(AtomicFileTest, WritesAndReplacesWholeFiles) {
  TempHome home;
  const std::string path = home.Path("a.bin");
  const uint8_t first[] = {1, 2, 3, 4, 5};
  const uint8_t second[] = {9};
  ASSERT_TRUE(WriteFileAtomic(path, first, sizeof first));
  EXPECT_EQ(TempHome::ReadBytes(path), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  ASSERT_TRUE(WriteFileAtomic(path, second, sizeof second));
  EXPECT_EQ(TempHome::ReadBytes(path), (std::vector<uint8_t>{9}));
  EXPECT_EQ(TempHome::List(home.root()), std::vector<std::string>{"a.bin"});  // no temporaries left
}

TEST(AtomicFileTest, ReplacedFileKeepsItsMode) {
  TempHome home;
  const std::string path = home.Path("a.ini");
  TempHome::WriteText(path, "x");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomic(path, "y", 1));
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
}

TEST(AtomicFileTest, MissingFolderFails) {
  TempHome home;
  EXPECT_FALSE(WriteFileAtomic(home.Path("no/such/x"), "a", 1));
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(home.Path("no/such/x"), bytes));
  EXPECT_FALSE(ReadWholeFile(home.root(), bytes));  // a folder is not a file
}

TEST(FileLookupTest, ExactNameComesFirst) {
  TempHome home;
  TempHome::WriteText(home.Path("a.PRO"), "upper");
  TempHome::WriteText(home.Path("a.pro"), "lower");
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "a.pro"), home.Path("a.pro"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root() + "/", "a.PRO"), home.Path("a.PRO"));
}

TEST(FileLookupTest, ExtensionMatchesInAnyCaseButStemExactly) {
  TempHome home;
  TempHome::WriteText(home.Path("profile1.pro"), "x");
  TempHome::WriteText(home.Path("msdengdefault.led"), "x");
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "profile1.PRO"), home.Path("profile1.pro"));
  EXPECT_EQ(ResolveExtensionCase(home.Path("msdengdefault.Led")), home.Path("msdengdefault.led"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "Profile1.pro"), "");
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "profile1.pr"), "");
  EXPECT_EQ(ResolveExtensionCase(home.Path("none.pro")), home.Path("none.pro"));
}

TEST(FileLookupTest, FoldersAreNotFiles) {
  TempHome home;
  std::filesystem::create_directories(home.Path("x.PRO"));
  EXPECT_EQ(FindFileIgnoringExtensionCase(home.root(), "x.pro"), "");
}

TEST(FileLookupTest, TwinsDifferingInExtensionCaseAreRemoved) {
  TempHome home;
  for (const char* n : {"a.pro", "a.PRO", "a.Pro", "b.PRO", "A.PRO"}) TempHome::WriteText(home.Path(n), n);
  EXPECT_EQ(RemoveExtensionCaseTwins(home.Path("a.pro")), 2);
  EXPECT_EQ(TempHome::List(home.root()), (std::vector<std::string>{"A.PRO", "a.pro", "b.PRO"}));
}

}  // namespace
}  // namespace trx
