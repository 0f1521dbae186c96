// The hidraw change watch: which folder events count, and the watch on a
// real folder (inotify).

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "device/hidraw_watch.h"

namespace trx {
namespace {

TEST(HidrawWatch, OnlyHidrawEntriesALostQueueOrTheFolderGoingCount) {
  struct Case {
    uint32_t mask;
    const char* name;
    bool counts;
  } cases[] = {
      {IN_CREATE, "hidraw3", true},   {IN_DELETE, "hidraw12", true}, {IN_ATTRIB, "hidraw0", true},
      {IN_CREATE, "ttyS0", false},    {IN_DELETE, "hidden", false},  {IN_CREATE, nullptr, false},
      {IN_Q_OVERFLOW, nullptr, true}, {IN_IGNORED, nullptr, true},   {IN_DELETE_SELF, nullptr, true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsHidrawFolderEvent(c.mask, c.name), c.counts) << (c.name ? c.name : "-");
}

TEST(HidrawWatch, ReportsHidrawNodesComingAndGoingAndItsFolderVanishing) {
  char pattern[] = "/tmp/trx770-watch-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  auto watch = HidrawWatch::Create(dir);
  ASSERT_NE(watch, nullptr);
  EXPECT_FALSE(watch->Drain());  // nothing yet

  std::FILE* other = std::fopen((dir + "/ttyS4").c_str(), "w");
  ASSERT_NE(other, nullptr);
  std::fclose(other);
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
