// trx770ctl backup and restore against the simulated devices.

#include <gtest/gtest.h>

#include <filesystem>

#include "backup/backup_store.h"
#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using trx::test::TempHome;

using testing::CtlRun;

class CtlBackupTest : public testing::CtlProgramFolderTest {
 protected:
  std::vector<uint8_t> Memory(const std::string& kind) {
    return TempHome::ReadBytes(home.Path("sim/" + kind + ".mem"));
  }
};

TEST_F(CtlBackupTest, AChangedDeviceResetToFactoryMemoryIsRestoredWhole) {
  struct Device { const char* kind; std::vector<std::vector<std::string>> changes, listings; };
  TempHome::WriteBytes(home.Path("step.cur"), routine::RoutineFileBytes(routine::StepLines({120, 7, true, 9, false})));
  const Device devices[] = {
      {"mouse",
       {{"macro", "import", "mouse", testing::MacroData("first.mac")},
        {"button", "set", "mouse", "4", "macro:name_1"},
        {"button", "set", "mouse", "back", "key:Ctrl+C"},
        {"dpi", "mouse", "2", "1000"},
        {"rate", "mouse", "500"},
        {"onboard", "mouse", "3"},
        {"dpi-colour", "mouse", "1", "12ab34"},
        {"routine", "import", "2", home.Path("step.cur")},
        {"routine", "upload"}},
       {{"--json", "dump", "mouse"}, {"button", "list", "mouse"}, {"button", "list", "mouse", "--onboard", "1"}}},
      {"pad",
       {{"light", "set", "pad", "--mode", "2", "--colour", "00a0ff"}},
       {{"--json", "dump", "pad"}, {"light", "show", "pad"}}},
      {"keyboard",
       {{"macro", "import", "keyboard", testing::MacroData("second.mac")},
        {"macro", "upload", "keyboard"},
        {"light", "set", "keyboard", "--brightness", "2", "--colour", "ff8000"}},
       {{"--json", "dump", "keyboard"}, {"light", "show", "keyboard"}}},
  };
  for (const Device& d : devices) {
    SCOPED_TRACE(d.kind);
    for (const auto& change : d.changes) {
      const CtlRun r = Sim(d.kind, change);
      ASSERT_EQ(r.code, ExitCode::Ok) << change[0] << " " << change[1] << ": " << r.err;
    }
    std::vector<std::string> before;
    for (const auto& listing : d.listings) before.push_back(Sim(d.kind, listing).out);
    const std::vector<uint8_t> memory = Memory(d.kind);
    const std::string file = home.Path(std::string(d.kind) + ".trxbak");
    const CtlRun saved = Sim(d.kind, {"backup", d.kind, file});
    ASSERT_EQ(saved.code, ExitCode::Ok) << saved.err;

    std::filesystem::remove(home.Path("sim/" + std::string(d.kind) + ".mem"));
    ASSERT_NE(Sim(d.kind, d.listings[0]).out, before[0]);  // factory memory

    const CtlRun restored = Sim(d.kind, {"--json", "restore", d.kind, file});
    ASSERT_EQ(restored.code, ExitCode::Ok) << restored.err;
    EXPECT_NE(restored.out.find("\"differing\": []"), std::string::npos) << restored.out;
    EXPECT_NE(restored.out.find("\"restored\": true"), std::string::npos) << restored.out;
    for (size_t i = 0; i < d.listings.size(); ++i) EXPECT_EQ(Sim(d.kind, d.listings[i]).out, before[i]);
    EXPECT_EQ(Memory(d.kind), memory);
  }
}

TEST_F(CtlBackupTest, ADamagedOrForeignFileIsRefusedBeforeAnythingIsWritten) {
  const std::string good = home.Path("good.trxbak");
  ASSERT_EQ(Sim("mouse,pad", {"backup", "mouse", good}).code, ExitCode::Ok);
  ASSERT_EQ(Sim("mouse,pad", {"backup", "pad", home.Path("pad.trxbak")}).code, ExitCode::Ok);
  ASSERT_EQ(Sim("mouse,pad", {"dpi", "mouse", "1", "400"}).code, ExitCode::Ok);
  const std::vector<uint8_t> bytes = TempHome::ReadBytes(good);
  auto variant = [&](const char* name, auto&& change) {
    std::vector<uint8_t> b = bytes;
    change(b);
    TempHome::WriteBytes(home.Path(name), b);
    return home.Path(name);
  };
  auto restore = [](const std::string& file) { return std::vector<std::string>{"restore", "mouse", file}; };
  const testing::Refusal cases[] = {
      {restore(variant("cut", [](auto& b) { b.resize(b.size() / 2); })), ExitCode::Refused, "cut short"},
      {restore(variant("flip", [](auto& b) { b[b.size() / 2] ^= 0x10; })), ExitCode::Refused, "damaged"},
      {restore(variant("newer", [](auto& b) { b[8] = 2; })), ExitCode::Refused, "newer version"},
      {restore(home.Path("pad.trxbak")), ExitCode::Refused, "a backup of the pad, not of the mouse"},
      {restore(home.Path("sim")), ExitCode::FileError, "not a regular file"},
      {restore(home.Path("missing")), ExitCode::FileError, "could not be read"},
  };
  const std::vector<uint8_t> memory = Memory("mouse");
  for (const testing::Refusal& c : cases) {
    testing::ExpectRefused(Sim("mouse,pad", c.args), c);
    EXPECT_EQ(Memory("mouse"), memory);
  }
  EXPECT_EQ(Sim("mouse", {"backup", "mouse", good}).code, ExitCode::Refused);  // exists: --force
  EXPECT_EQ(Sim("mouse", {"backup", "mouse", good, "--force"}).code, ExitCode::Ok);
}

TEST_F(CtlBackupTest, AFreshDeviceGetsExactlyOneAutomaticBackup) {
  EXPECT_EQ(Sim("mouse", {"dump", "mouse"}).code, ExitCode::Ok);
  EXPECT_TRUE(backup::ListStoredBackups().empty());  // reads are no reason
  const std::vector<uint8_t> factory = Memory("mouse");
  for (const char* dpi : {"1000", "1200"}) ASSERT_EQ(Sim("mouse", {"dpi", "mouse", "2", dpi}).code, ExitCode::Ok);
  ASSERT_EQ(Sim("mouse", {"rate", "mouse", "250"}).code, ExitCode::Ok);
  const std::vector<backup::StoredBackup> stored = backup::ListStoredBackups();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].path.rfind(home.Path(".local/state/trx770/backups/mouse-652c-"), 0), 0u) << stored[0].path;

  const CtlRun list = Sim("mouse", {"--json", "backup", "--list", "mouse"});
  EXPECT_NE(list.out.find("\"path\": \"" + stored[0].path + "\""), std::string::npos) << list.out;
  // It holds the factory memory: restoring it undoes the three writes.
  ASSERT_EQ(Sim("mouse", {"restore", "mouse", stored[0].path}).code, ExitCode::Ok);
  EXPECT_EQ(Memory("mouse"), factory);
  EXPECT_EQ(backup::ListStoredBackups().size(), 1u);
}

}  // namespace
}  // namespace trx::ctl
