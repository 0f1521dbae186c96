// The routines through a simulated mouse: the image on the wire and in the
// routine memory byte for byte, a memory without a valid image, a mouse
// removed at each frame of the read, a crash while the files are rewritten.

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "routine/routine_device.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/routine/routine_fixture.h"

namespace trx::routine {
namespace {

using trx::test::TempHome;

class RoutineDeviceTest : public trx::test::SimChannelTest {
 protected:
  void SetUp() override {
    trx::test::SimChannelTest::SetUp();
    home = std::make_unique<TempHome>();
    store = test::MakeStore(*home);
  }
  void TearDown() override {
    trx::test::SimChannelTest::TearDown();
    home.reset();
  }
  std::vector<std::string> Files() {
    std::vector<std::string> files;
    for (int r = 0; r < kRoutineCount; ++r) files.push_back(TempHome::ReadText(RoutineFilePath(store, r)));
    return files;
  }
  std::unique_ptr<TempHome> home;
  RoutineStore store;
};

TEST_F(RoutineDeviceTest, UploadWritesTheImageByteForByte) {
  ASSERT_EQ(WriteRoutineLines(store, 0, StepLines({1000, 5, true, 7, false})), RoutineResult::Ok);
  for (int r = 1; r < kRoutineCount; ++r) ASSERT_EQ(WriteRoutineLines(store, r, {}), RoutineResult::Ok);
  const RoutineUploadReport report = UploadRoutines(*channel, store);
  ASSERT_EQ(report.result, RoutineResult::Ok) << DescribeRoutineUpload(report);
  const std::vector<uint8_t> expected = {
      0xAA, 0x55, 52, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // magic, size, count
      24, 0, 40, 0, 44, 0, 48, 0,                              // offsets
      3, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0x84, 5, 0, 0, 0x05, 7,  // routine 1: one step
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};                     // routines 2-4: empty
  const std::vector<uint8_t> memory = firmware->RoutineMemory();
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + 52), expected);
  std::vector<trx::test::FrameKey> keys;
  for (const auto& f : Frames('>')) keys.push_back(trx::test::KeyOf(f));
  EXPECT_EQ(keys, (std::vector<trx::test::FrameKey>{{1, 0, 0}, {0x17, 52, 0}, {2, 0, 0}}));
}

TEST_F(RoutineDeviceTest, InvalidRoutineMemoryLeavesTheFiles) {
  const std::vector<std::string> before = Files();
  struct Case {
    const char* what;
    std::vector<uint8_t> header;
  };
  const Case cases[] = {
      {"no magic", std::vector<uint8_t>(16, 0)},
      {"size above the limit", {0xAA, 0x55, 0x01, 0x0C, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"records past the size", {0xAA, 0x55, 16, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(WriteRoutineMemory(*channel, c.header.data(), c.header.size()), kResultOk);
    EXPECT_EQ(ReadRoutinesFromMouse(*channel, store).result, RoutineResult::BadMemory) << c.what;
    EXPECT_EQ(Files(), before) << c.what;
  }
}

TEST_F(RoutineDeviceTest, RemovedAtEveryFrameOfTheReadLeavesEveryFileOld) {
  // Begin, the header, 27 chunks of the 1480-byte image, End.
  const size_t frames = 1 + 1 + 27 + 1;
  for (size_t at = 1; at <= frames; ++at) {
    TearDown();
    SetUp();
    ASSERT_EQ(StoreStep(store, 2, 0, {50, 9, false, 9, false}), RoutineResult::Ok);
    ASSERT_EQ(UploadRoutines(*channel, store).result, RoutineResult::Ok);
    ASSERT_EQ(ResetRoutine(store, 2), RoutineResult::Ok);
    const std::vector<std::string> before = Files();
    sim::SimFaults faults;
    faults.remove_at_frame = static_cast<int>(at);
    Inject(faults);
    EXPECT_EQ(ReadRoutinesFromMouse(*channel, store).result, RoutineResult::DeviceError) << "frame " << at;
    EXPECT_EQ(Files(), before) << "frame " << at;
  }
}

TEST_F(RoutineDeviceTest, ACrashDuringTheRewriteLeavesEachFileOldOrNew) {
  ASSERT_EQ(StoreStep(store, 0, 0, {50, 9, false, 9, false}), RoutineResult::Ok);
  ASSERT_EQ(StoreStep(store, 3, 0, {60, 1, true, 1, true}), RoutineResult::Ok);
  const std::vector<std::string> uploaded = Files();
  ASSERT_EQ(UploadRoutines(*channel, store).result, RoutineResult::Ok);
  for (int r : {0, 3}) ASSERT_EQ(ResetRoutine(store, r), RoutineResult::Ok);
  const std::vector<std::string> old = Files();
  int writes = 0;
  SetAtomicWriteHookForTesting([&](const std::string&) { return ++writes != 4; });  // the 4th rename never happens
  EXPECT_EQ(ReadRoutinesFromMouse(*channel, store).result, RoutineResult::FileError);
  SetAtomicWriteHookForTesting({});
  const std::vector<std::string> after = Files();
  EXPECT_EQ(after[0], uploaded[0]);
  EXPECT_EQ(after[3], old[3]);
}

TEST(RoutineNames, NameKeyByKind) {
  struct Case {
    uint8_t type, code;
    const char* name;
  };
  for (const Case& c : {Case{0x81, 0x02, "mouse_key_right"}, Case{0x84, 3, "mouse_move_to_left_text"},
                        Case{0x05, 3, "mouse_move_to_down_text"}, Case{0x89, 0x02, "keyboard_key_LShift"},
                        Case{0x8A, 0x04, "keyboard_key_A"}, Case{0x00, 0, ""}, Case{0x03, 1, ""}})
    EXPECT_EQ(ActionNameForImage(c.type, c.code), c.name) << int(c.type);
}

}  // namespace
}  // namespace trx::routine
