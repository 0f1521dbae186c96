// Access diagnosis on a fake hidraw tree and its text; the device folder's change watch.

#include "device/hidraw_access.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "device/hidraw_watch.h"
#include "sim/hidraw_fake_tree.h"
#include "tests/platform/temp_home.h"
#include "tests/support/golden.h"

namespace trx {
namespace {

const std::vector<uint8_t> kDescriptor = {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0xC0};

class HidrawAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.Valid());
    ASSERT_EQ(tree_.AddInterface(0x0C45, 0x652C, kDescriptor).index, 0);  // mouse
    ASSERT_EQ(tree_.AddInterface(0x046D, 0xC52B, kDescriptor).index, 1);  // another vendor's receiver
    ASSERT_EQ(tree_.AddInterface(0x0C45, 0x8611, kDescriptor).index, 2);  // keyboard
    ASSERT_EQ(tree_.AddInterface(0x0C45, 0x6758, kDescriptor).index, 3);  // mouse pad
  }
  // Makes dev/hidrawN a link to nothing, so that opening it really fails.
  void BreakNode(int n) {
    const std::string node = tree_.DevRoot() + "/hidraw" + std::to_string(n);
    ASSERT_EQ(::unlink(node.c_str()), 0);
    ASSERT_EQ(::symlink("/nonexistent/trx770-node", node.c_str()), 0);
  }
  FakeHidrawTree tree_;
};

TEST_F(HidrawAccessTest, FamilyNodesThatRefuseToOpenAreReportedWithTheReason) {
  std::vector<std::string> tried;
  auto opener = [&](const std::string& path) {
    tried.push_back(path.substr(path.rfind('/') + 1));
    return path.ends_with("hidraw0") ? EACCES : path.ends_with("hidraw2") ? EPERM : 0;
  };
  auto problems = FindHidrawAccessProblems(tree_.SysRoot(), tree_.DevRoot(), opener);
  EXPECT_EQ(tried.size(), 3u);  // the other vendor's node is not even tried
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].node, "hidraw0");
  EXPECT_EQ(problems[0].dev_path, tree_.DevRoot() + "/hidraw0");
  EXPECT_EQ(problems[0].product_id, 0x652C);
  EXPECT_EQ(problems[0].error, EACCES);
  EXPECT_EQ(problems[1].node, "hidraw2");
  EXPECT_EQ(problems[1].error, EPERM);
  EXPECT_TRUE(IsMissingAccess(problems[0].error));
  EXPECT_STREQ(FamilyDeviceName(problems[1].product_id), "keyboard");
}

TEST_F(HidrawAccessTest, RealOpenOfABrokenNodeGivesItsErrno) {
  BreakNode(3);
  BreakNode(1);  // not of the family: ignored
  auto problems = FindHidrawAccessProblems(tree_.SysRoot(), tree_.DevRoot());
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].node, "hidraw3");
  EXPECT_EQ(problems[0].error, ENOENT);
  EXPECT_FALSE(IsMissingAccess(problems[0].error));
  // Everything opens once unplugged; an absent class folder is no problem.
  tree_.Unplug(3);
  EXPECT_TRUE(FindHidrawAccessProblems(tree_.SysRoot(), tree_.DevRoot()).empty());
  EXPECT_TRUE(FindHidrawAccessProblems(tree_.Root() + "/none", tree_.DevRoot()).empty());
}

TEST(HidrawAccessText, DiagnosisForCommandLineTools) {
  const std::vector<HidrawAccessProblem> problems = {
      {"hidraw3", "/dev/hidraw3", 0x0C45, 0x652C, EACCES},
      {"hidraw5", "/dev/hidraw5", 0x0C45, 0x6758, EBUSY},
  };
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(PrintHidrawAccessDiagnosis(out, "trx770ctl", problems, "/usr/share/trx770/70-trx770.rules"), 2u);
  std::fclose(out);
  EXPECT_EQ(std::string(text, size), test::ReadGoldenText("device/access_diagnosis.txt"));
  std::free(text);
  // Nothing to say: nothing printed.
  out = open_memstream(&text, &size);
  EXPECT_EQ(PrintHidrawAccessDiagnosis(out, "trx770ctl", {}, "/r"), 0u);
  std::fclose(out);
  EXPECT_EQ(size, 0u);
  std::free(text);
}

TEST(HidrawWatch, OnlyHidrawEntriesALostQueueOrTheFolderGoingCount) {
  const std::tuple<uint32_t, const char*, bool> cases[] = {  // event, entry name, counts
      {IN_CREATE, "hidraw3", true},   {IN_DELETE, "hidraw12", true}, {IN_ATTRIB, "hidraw0", true},
      {IN_CREATE, "ttyS0", false},    {IN_DELETE, "hidden", false},  {IN_CREATE, nullptr, false},
      {IN_Q_OVERFLOW, nullptr, true}, {IN_IGNORED, nullptr, true},   {IN_DELETE_SELF, nullptr, true},
  };
  for (const auto& [mask, name, counts] : cases) EXPECT_EQ(IsHidrawFolderEvent(mask, name), counts) << (name ? name : "-");
}

TEST(HidrawWatch, ReportsHidrawNodesComingAndGoingAndItsFolderVanishing) {
  test::TempHome home;
  const std::string dir = home.root();
  auto watch = HidrawWatch::Create(dir);
  ASSERT_NE(watch, nullptr);
  EXPECT_FALSE(watch->Drain());  // nothing yet

  test::TempHome::WriteText(dir + "/ttyS4", "");
  EXPECT_FALSE(watch->Drain());
  ASSERT_EQ(::symlink("/dev/null", (dir + "/hidraw7").c_str()), 0);
  EXPECT_TRUE(watch->Drain());
  ASSERT_EQ(::unlink((dir + "/hidraw7").c_str()), 0);
  EXPECT_TRUE(watch->Drain());
  EXPECT_FALSE(watch->Broken());

  std::filesystem::remove_all(dir);
  EXPECT_TRUE(watch->Drain());
  EXPECT_TRUE(watch->Broken());
  EXPECT_EQ(HidrawWatch::Create(dir), nullptr);
}

}  // namespace
}  // namespace trx
