// Routine steps, files and image; upload and read through a simulated mouse.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/atomic_file.h"
#include "routine/routine_device.h"
#include "routine/routine_steps.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/routine/routine_fixture.h"
#include "tests/support/golden.h"

namespace trx::routine {
namespace {

using trx::test::ReadGoldenHex;
using trx::test::TempHome;

TEST(RoutineSteps, StoredAndShownWithinTheLimits) {
  struct Case { RoutineStep in; RoutineStep shown; std::vector<std::string> lines; };
  const Case cases[] = {
      {{1000, 5, true, 7, false}, {1000, 5, true, 7, false},
       {"100,0,0,0,0,", "0,0,132,5,1,mouse_move_to_left_text", "0,0,5,7,0,mouse_move_to_down_text"}},
      {{1005, 0, false, 255, true}, {1000, 0, false, 255, true},
       {"100,0,0,0,0,", "0,0,4,0,0,mouse_move_to_right_text", "0,0,133,255,1,mouse_move_to_up_text"}},
      {{65535, 256, false, 999, false}, {65530, 255, false, 255, false},
       {"153,25,0,0,0,", "0,0,4,255,0,mouse_move_to_right_text", "0,0,5,255,0,mouse_move_to_down_text"}},
      {{70000, 0, false, 0, false}, {65530, 0, false, 0, false},
       {"153,25,0,0,0,", "0,0,4,0,0,mouse_move_to_right_text", "0,0,5,0,0,mouse_move_to_down_text"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    StoreStepInLines(lines, 0, c.in);
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(StepFromLines(lines, 0), c.shown);
  }
}

TEST(RoutineSteps, PauseActionKeepsItsOtherFieldsAndShortFilesGrow) {
  std::vector<std::string> lines = {"7,0,9,4,1,keyboard_key_A", "x", "y"};
  StoreStepInLines(lines, 0, {20, 1, false, 2, false});
  EXPECT_EQ(lines[0], "2,0,9,4,1,keyboard_key_A");
  StoreStepInLines(lines, 2, {30, 0, false, 0, false});
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[3], "0,0,0,0,0,");
  EXPECT_EQ(lines[6], "3,0,0,0,0,");
  // Steps outside 0-29 change nothing.
  StoreStepInLines(lines, 30, {30, 1, false, 1, false});
  StoreStepInLines(lines, -1, {30, 1, false, 1, false});
  EXPECT_EQ(lines.size(), 9u);
}

struct RoutineFiles : ::testing::Test {
  TempHome home;
  RoutineStore store = test::MakeStore(home);
};

TEST_F(RoutineFiles, StepFiveOfRoutineTwoRoundTripsThroughItsFile) {
  EXPECT_EQ(RoutineFilePath(store, 1), store.folder + "name_2.cur");
  ASSERT_EQ(StoreStep(store, 1, 4, {1230, 12, true, 34, true}), RoutineResult::Ok);
  EXPECT_EQ(ReadStep(store, 1, 4), (RoutineStep{1230, 12, true, 34, true}));
  EXPECT_EQ(ReadStep(store, 1, 3), DefaultRoutineSteps(1)[3]);
  EXPECT_EQ(RoutineActionCount(store, 1), 90);
  EXPECT_EQ(StoreStep(store, 4, 0, {}), RoutineResult::NoSuchRoutine);
}

TEST_F(RoutineFiles, InitCopiesDefaultsOnceAndNeverOverwrites) {
  std::filesystem::remove_all(store.folder);  // no index, no routine files
  std::filesystem::create_directories(store.folder);
  TempHome::WriteText(store.folder + "name_3.cur", "[MACROACTIONCOUNT]\ncount=0\n");
  ASSERT_TRUE(InitRoutineIndex(store));
  EXPECT_EQ(TempHome::ReadText(store.index_path).find("[CURSORCOUNT]") != std::string::npos, true);
  EXPECT_EQ(LoadRoutineLines(store, 0), DefaultRoutineLines(0));
  EXPECT_EQ(RoutineActionCount(store, 2), 0);  // the user's file stays
  // A later start with the index written changes nothing.
  TempHome::WriteText(store.folder + "name_1.cur", "[MACROACTIONCOUNT]\ncount=0\n");
  ASSERT_TRUE(InitRoutineIndex(store));
  EXPECT_EQ(RoutineActionCount(store, 0), 0);
}

// The largest file is taken whole; export asks before replacing; reset restores the default.
TEST_F(RoutineFiles, ImportAtTheLimitExportPromptAndReset) {
  const std::string before = TempHome::ReadText(RoutineFilePath(store, 0));
  const std::string source = home.Path("in.cur");
  std::string text = "[MACROACTIONCOUNT]\ncount=180\n[MACROACTION]\n";
  for (long i = 0; i < 180; ++i) text += std::to_string(i) + "=10,0,4,3,0,mouse_move_to_right_text\n";
  TempHome::WriteText(source, text);
  long actions = 0;
  EXPECT_EQ(ImportRoutine(store, 0, source, &actions), RoutineResult::Ok);
  EXPECT_EQ(actions, 180);
  EXPECT_EQ(TempHome::ReadText(RoutineFilePath(store, 0)), text);

  const std::string target = home.Path("out.cur");
  TempHome::WriteText(target, "keep");
  EXPECT_EQ(ExportRoutine(store, 1, target, false), RoutineResult::TargetExists);
  EXPECT_EQ(TempHome::ReadText(target), "keep");
  EXPECT_EQ(ExportRoutine(store, 1, target, true), RoutineResult::Ok);
  EXPECT_EQ(TempHome::ReadText(target), TempHome::ReadText(RoutineFilePath(store, 1)));

  ASSERT_EQ(ResetRoutine(store, 0), RoutineResult::Ok);
  EXPECT_EQ(TempHome::ReadText(RoutineFilePath(store, 0)), before);
}

// What is not a routine file is refused at once with the reason; the routine stays.
TEST_F(RoutineFiles, ImportRefusesWhatIsNotARoutineFile) {
  const std::string before = TempHome::ReadText(RoutineFilePath(store, 0));
  std::string noise(300, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 31 + 7) % 256);
  const std::string fifo = home.Path("pipe.cur");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case { std::string text, path; RoutineResult expected; const char* reason; };  // `text` used unless `path`
  const Case cases[] = {
      {noise, "", RoutineResult::BadFile, "no [MACROACTIONCOUNT]"},
      {"[MACROACTIONCOUNT]\ncount=0\n", "", RoutineResult::BadFile, "no actions"},
      {"[MACROACTIONCOUNT]\ncount=3\n[MACROACTION]\n0=1,0,4,3,0,x\n", "", RoutineResult::BadFile, "action 1 is missing"},
      {"[MACROACTIONCOUNT]\ncount=181\n", "", RoutineResult::TooManyActions, "more than the 180"},
      {"[MACROACTIONCOUNT]\ncount=2147483647\n", "", RoutineResult::TooManyActions, "more than the 180"},
      {"", fifo, RoutineResult::FileError, "not a regular file"},
      {"", home.Path("missing.cur"), RoutineResult::FileError, "is missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    std::string source = c.path;
    if (source.empty()) { source = home.Path("in.cur"); TempHome::WriteText(source, c.text); }
    std::string problem;
    EXPECT_EQ(ImportRoutine(store, 0, source, nullptr, &problem), c.expected);
    EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
    EXPECT_EQ(TempHome::ReadText(RoutineFilePath(store, 0)), before);
  }
}

using RoutineImage = RoutineFiles;

TEST_F(RoutineImage, SizesAgainstTheLimit) {
  EXPECT_EQ(RoutineImageSize({90, 90, 90, 90}), 1480u);
  EXPECT_EQ(RoutineImageSize({0, 0, 0, 0}), 40u);
  EXPECT_EQ(RoutineImageSize({752, 0, 0, 0}), 3048u);
  std::vector<uint8_t> image;
  RoutineImageReport r = BuildRoutineImage(store, image);
  EXPECT_EQ(r.result, RoutineResult::Ok);
  EXPECT_EQ(r.total_size, 1480u);
  EXPECT_EQ(image.size(), 1480u);
  // 90 + 3 x 180 actions: 16 + 24 + 4 x 630 = 2560, fits; one more 180 does not.
  for (int i = 1; i < 4; ++i) {
    std::vector<std::string> lines(180, "1,0,4,1,0,mouse_move_to_right_text");
    ASSERT_EQ(WriteRoutineLines(store, i, lines), RoutineResult::Ok);
  }
  EXPECT_EQ(BuildRoutineImage(store, image).total_size, 2560u);
  ASSERT_EQ(WriteRoutineLines(store, 0, std::vector<std::string>(270, "0,0,0,0,0,")), RoutineResult::Ok);
  r = BuildRoutineImage(store, image);
  EXPECT_EQ(r.result, RoutineResult::TooLarge);
  EXPECT_EQ(r.total_size, 3280u);
  EXPECT_TRUE(image.empty());
}

TEST(RoutineTrack, AccumulatesTheSignedMoves) {
  const auto track = RoutineTrack(DefaultRoutineLines(2));
  ASSERT_EQ(track.size(), 30u);
  EXPECT_EQ(track[0], (TrackPoint{-1, 3}));
  EXPECT_EQ(track[29], (TrackPoint{-30, 90}));
  EXPECT_EQ(RoutineTrack({}).back(), (TrackPoint{0, 0}));
}

class RoutineDeviceTest : public trx::test::SimChannelTest {
 protected:
  void SetUp() override {
    trx::test::SimChannelTest::SetUp();
    home = std::make_unique<TempHome>();
    store = test::MakeStore(*home);
  }
  void TearDown() override { trx::test::SimChannelTest::TearDown(); home.reset(); }
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
  const std::vector<uint8_t> memory = firmware->RoutineMemory();
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + 52), ReadGoldenHex("routine/one_step_image.hex"));
  std::vector<trx::test::FrameKey> keys;
  for (const auto& f : Frames('>')) keys.push_back(trx::test::KeyOf(f));
  EXPECT_EQ(keys, (std::vector<trx::test::FrameKey>{{1, 0, 0}, {0x17, 52, 0}, {2, 0, 0}}));
}

TEST_F(RoutineDeviceTest, InvalidRoutineMemoryLeavesTheFiles) {
  const std::vector<std::string> before = Files();
  struct Case { const char* what; std::vector<uint8_t> header; };
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
    Inject({.remove_at_frame = static_cast<int>(at)});
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
  struct Case { uint8_t type, code; const char* name; };
  for (const Case& c : {Case{0x81, 0x02, "mouse_key_right"}, Case{0x84, 3, "mouse_move_to_left_text"},
                        Case{0x05, 3, "mouse_move_to_down_text"}, Case{0x89, 0x02, "keyboard_key_LShift"},
                        Case{0x8A, 0x04, "keyboard_key_A"}, Case{0x00, 0, ""}, Case{0x03, 1, ""}})
    EXPECT_EQ(ActionNameForImage(c.type, c.code), c.name) << int(c.type);
}

}  // namespace
}  // namespace trx::routine
