// Saves from one thread while another changes the image, and INI writes from
// two threads at once: no torn record reaches a file, no key is lost.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/ini_file.h"
#include "profile/profile_families.h"
#include "profile/profile_store.h"
#include "tests/profile/profile_fixture.h"

namespace trx {
namespace {

using test::ProfileTest;
using test::TempHome;

class ProfileConcurrencyTest : public ProfileTest {};

TEST_F(ProfileConcurrencyTest, SavedRecordIsNeverHalfUpdated) {
  const std::string ini = ProfileIniPath(DeviceKind::Mouse);
  ASSERT_TRUE(WritePrivateProfileString("PROFILEDENGNAME", "0", "live", ini));
  std::atomic<bool> stop{false};
  std::thread editor([&] {
    for (uint8_t v = 1; !stop.load(); v = static_cast<uint8_t>(v % 200 + 1)) {
      std::lock_guard<std::recursive_mutex> guard(ImageMutex());
      MouseConfigImage& m = Images().mouse;
      std::memset(m.current, v, sizeof m.current);  // one multi-byte change
      m.pointer_speed = v;
      m.wheel_lines = v;
    }
  });
  int torn = 0;
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Light), ProfileSaveResult::Saved);
    std::vector<uint8_t> bytes = TempHome::ReadBytes(Folder("ms") + "live.led");
    ASSERT_EQ(bytes.size(), 80u);
    for (size_t b = 16; b < 16 + 36; ++b)
      if (bytes[b] != bytes[16]) ++torn;
  }
  stop = true;
  editor.join();
  EXPECT_EQ(torn, 0);
}

TEST_F(ProfileConcurrencyTest, IniWritesFromTwoThreadsKeepEveryKey) {
  const std::string ini = ProfileIniPath(DeviceKind::Mouse);
  auto writer = [&](const char* section) {
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(WritePrivateProfileString(section, std::to_string(i), "x", ini));
  };
  std::thread a(writer, "PROFILENAME");
  std::thread b(writer, "PROCESS");
  a.join();
  b.join();
  std::string value;
  for (int i = 0; i < 50; ++i) {
    GetPrivateProfileString("PROFILENAME", std::to_string(i), "missing", value, ini);
    EXPECT_EQ(value, "x") << i;
    GetPrivateProfileString("PROCESS", std::to_string(i), "missing", value, ini);
    EXPECT_EQ(value, "x") << i;
  }
}

}  // namespace
}  // namespace trx
