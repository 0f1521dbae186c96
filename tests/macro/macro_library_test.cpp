// The macro library files: names, limits, renumbering, import and export.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "macro/macro_library.h"
#include "platform/ini_file.h"
#include "tests/platform/temp_home.h"

namespace trx::macro {
namespace {

using test::TempHome;

class MacroLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { store = MacroStoreFor(DeviceKind::Mouse); }
  void WriteIndex(const std::string& text) { std::ofstream(store.index_path) << text; }
  test::TempHome home;
  MacroStore store;
};

TEST_F(MacroLibraryTest, CreateNamesNextFreeNumberAndStopsAtFifty) {
  EXPECT_EQ(store.index_path.substr(store.index_path.size() - 15), "/ms/msMacro.ini");
  WriteIndex("[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=NAME_3\n1=other\n");
  std::string name;
  ASSERT_EQ(CreateMacro(store, name), MacroResult::Ok);
  EXPECT_EQ(name, "name_4");  // name_3 is taken in another case
  EXPECT_EQ(LoadMacroNames(store), (std::vector<std::string>{"NAME_3", "other", "name_4"}));
  EXPECT_FALSE(std::filesystem::exists(store.folder + "name_4.mac"));  // the first save makes it
  for (int i = 3; i < 50; ++i) ASSERT_EQ(CreateMacro(store, name), MacroResult::Ok) << i;
  const std::string before = TempHome::ReadText(store.index_path);
  EXPECT_EQ(CreateMacro(store, name), MacroResult::LimitReached);
  EXPECT_EQ(ImportMacro(store, store.index_path, name), MacroResult::LimitReached);
  EXPECT_EQ(TempHome::ReadText(store.index_path), before);
}

TEST_F(MacroLibraryTest, SaveLoadAndTheCutTo259Characters) {
  std::string name;
  ASSERT_EQ(CreateMacro(store, name), MacroResult::Ok);
  const std::string long_line = "0,0,138,4,1," + std::string(300, 'k');
  ASSERT_EQ(SaveMacro(store, 0, {"10,0,138,4,1,keyboard_key_A", long_line}), MacroResult::Ok);
  EXPECT_EQ(TempHome::ReadText(store.folder + "name_1.mac"),
            "[MACROACTIONCOUNT]\ncount=2\n[MACROSELECTNAME]\nname=name_1\n[MACROACTION]\n"
            "0=10,0,138,4,1,keyboard_key_A\n1=" + long_line + "\n");
  const auto lines = LoadMacroLines(store, "name_1");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], long_line.substr(0, 259));
  // A shorter save keeps the old keys but the count bounds the reading.
  ASSERT_EQ(SaveMacro(store, 0, {"1,0,10,4,0,keyboard_key_A"}), MacroResult::Ok);
  EXPECT_EQ(LoadMacroLines(store, "name_1"), std::vector<std::string>{"1,0,10,4,0,keyboard_key_A"});
  EXPECT_EQ(SaveMacro(store, 1, {}), MacroResult::NoSuchMacro);
  EXPECT_TRUE(LoadMacroLines(store, "missing").empty());
}

TEST_F(MacroLibraryTest, RenameCaseRulesAndRefusalsLeaveTheIndex) {
  std::string name;
  ASSERT_EQ(CreateMacro(store, name), MacroResult::Ok);
  ASSERT_EQ(CreateMacro(store, name), MacroResult::Ok);
  EXPECT_EQ(RenameMacro(store, 0, "NAME_1", {}), MacroResult::NameUnchanged);
  EXPECT_EQ(RenameMacro(store, 0, "Name_2", {}), MacroResult::DuplicateName);
  std::ofstream(store.folder + "stray.mac") << "x";
  EXPECT_EQ(RenameMacro(store, 0, "stray", {}), MacroResult::FileExists);
  for (const std::string& bad :
       std::vector<std::string>{"", "a/b", "..", "a\\b", "tab\there", " lead", "q?", std::string(252, 'x')})
    EXPECT_EQ(RenameMacro(store, 0, bad, {}), MacroResult::BadName) << bad;
  EXPECT_EQ(LoadMacroNames(store), (std::vector<std::string>{"name_1", "name_2"}));

  ASSERT_EQ(RenameMacro(store, 0, "jump", {"10,0,138,44,1,keyboard_key_Space"}), MacroResult::Ok);
  EXPECT_EQ(LoadMacroNames(store), (std::vector<std::string>{"jump", "name_2"}));
  EXPECT_FALSE(std::filesystem::exists(store.folder + "name_1.mac"));
  std::string selected;
  GetPrivateProfileString("MACROSELECTNAME", "name", "0", selected, store.folder + "jump.mac");
  EXPECT_EQ(selected, "jump");
  EXPECT_EQ(LoadMacroLines(store, "jump"), std::vector<std::string>{"10,0,138,44,1,keyboard_key_Space"});
  EXPECT_EQ(MacroNameProblem("a/b"), "the name holds a path separator");
}

TEST_F(MacroLibraryTest, DeleteRenumbersAllFiveBlocksAndRewritesTheIndex) {
  WriteIndex("; kept? no: rewritten\n[MACROCOUNT]\ncount=3\n[MACRONAME]\n0=a\n1=b\n2=c\n");
  std::ofstream(store.folder + "b.mac") << "[MACROACTIONCOUNT]\ncount=0\n";
  uint8_t blocks[5][512] = {};
  uint8_t defaults[512] = {};
  for (int e = 0; e < 7; ++e) defaults[e * 3] = 0x10, defaults[e * 3 + 1] = static_cast<uint8_t>(e);
  // Profile 0: button 0 runs macro 2, button 1 macro 1; profile 4: button 6 macro 1 (repeat), button 5 macro 0.
  const uint8_t p0[] = {0x70, 2, 0, 0x70, 1, 0};
  std::copy(std::begin(p0), std::end(p0), blocks[0]);
  const uint8_t p4[] = {0x70, 0, 0, 0x71, 1, 3};
  std::copy(std::begin(p4), std::end(p4), blocks[4] + 15);
  blocks[3][7 * 3] = 0x70, blocks[3][7 * 3 + 1] = 1;  // past the buttons: not an assignment
  AssignmentBlocks ab;
  for (int k = 0; k < 5; ++k) ab.blocks[static_cast<size_t>(k)] = blocks[k];
  ab.defaults = defaults;
  ab.entries = 7;
  EXPECT_TRUE(MacroIsAssigned(ab, 1));
  EXPECT_FALSE(MacroIsAssigned(ab, 3));
  const auto resets = RenumberAfterDelete(ab, 1);
  EXPECT_EQ(resets, (std::vector<ButtonReset>{{0, 1}, {4, 6}}));
  EXPECT_EQ(std::vector<uint8_t>(blocks[0], blocks[0] + 6), (std::vector<uint8_t>{0x70, 1, 0, 0x10, 1, 0}));
  EXPECT_EQ(std::vector<uint8_t>(blocks[4] + 15, blocks[4] + 21), (std::vector<uint8_t>{0x70, 0, 0, 0x10, 6, 0}));
  EXPECT_EQ(blocks[3][22], 1);

  ASSERT_EQ(DeleteMacro(store, 1), MacroResult::Ok);
  EXPECT_FALSE(std::filesystem::exists(store.folder + "b.mac"));
  EXPECT_EQ(TempHome::ReadText(store.index_path),
            "[MACROCOUNT]\ncount=2\n[CURSORCOUNT]\ncount=4\n[CURSORNAME]\n0=name_1\n1=name_2\n2=name_3\n3=name_4\n"
            "[MACRONAME]\n0=a\n1=c\n");
  EXPECT_EQ(DeleteMacro(store, 2), MacroResult::NoSuchMacro);

  MacroStore kb = MacroStoreFor(DeviceKind::Keyboard);
  std::ofstream(kb.index_path) << "[MACROCOUNT]\ncount=1\n[MACRONAME]\n0=z\n";
  ASSERT_EQ(DeleteMacro(kb, 0), MacroResult::Ok);
  EXPECT_EQ(TempHome::ReadText(kb.index_path), "[MACROCOUNT]\ncount=0\n");  // no cursor keys on the keyboard
}

TEST_F(MacroLibraryTest, FilesWithAnUpperCaseExtensionAreTheMacrosFiles) {
  WriteIndex("[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=win\n1=other\n");
  std::ofstream(store.folder + "win.MAC") << "[MACROACTIONCOUNT]\ncount=1\n[MACROACTION]\n0=1,0,10,4,0,keyboard_key_A\n";
  std::ofstream(store.folder + "TAKEN.Mac") << "x";
  EXPECT_EQ(LoadMacroLines(store, "win").size(), 1u);
  ASSERT_EQ(ExportMacro(store, "win", home.Path("out.mac")), MacroResult::Ok);
  EXPECT_EQ(TempHome::ReadText(home.Path("out.mac")), TempHome::ReadText(store.folder + "win.MAC"));
  EXPECT_EQ(RenameMacro(store, 1, "TAKEN", {}), MacroResult::FileExists);
  ASSERT_EQ(DeleteMacro(store, 0), MacroResult::Ok);
  EXPECT_FALSE(std::filesystem::exists(store.folder + "win.MAC"));
}

TEST_F(MacroLibraryTest, ImportAndExportCopyBytesUnchanged) {
  const std::string source = home.Path("in.mac");
  const std::string bytes = "\xEF\xBB\xBF[MACROACTIONCOUNT]\r\ncount=1\r\n[MACROACTION]\r\n0=5,0,129,2,1,mouse_key_right\r\n"
                            "[MACROSELECTNAME]\r\nname=theirs\r\n";
  std::ofstream(source, std::ios::binary) << bytes;
  std::string name;
  ASSERT_EQ(ImportMacro(store, source, name), MacroResult::Ok);
  EXPECT_EQ(name, "name_1");
  EXPECT_EQ(TempHome::ReadText(store.folder + "name_1.mac"), bytes);
  EXPECT_EQ(LoadMacroLines(store, "name_1"), std::vector<std::string>{"5,0,129,2,1,mouse_key_right"});
  const std::string out = home.Path("out.mac");
  ASSERT_EQ(ExportMacro(store, "NAME_1", out), MacroResult::Ok);
  EXPECT_EQ(TempHome::ReadText(out), bytes);
  EXPECT_EQ(ExportMacro(store, "nope", out), MacroResult::NoSuchMacro);
  EXPECT_EQ(ImportMacro(store, home.Path("missing.mac"), name), MacroResult::FileError);
  EXPECT_EQ(ImportMacro(store, home.root(), name), MacroResult::FileError);  // a folder
  EXPECT_EQ(LoadMacroNames(store).size(), 1u);
}

// Hostile files are refused at once with the reason; a damaged stored count is never allocated.
TEST_F(MacroLibraryTest, ImportRefusesDamagedFilesAndLoadNeverBelievesAHugeCount) {
  std::string noise(300, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919 + 13) % 251);
  const std::string fifo = home.Path("pipe.mac");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case { std::string text, path; MacroResult result; const char* reason; };  // `text` empty: `path` is the case
  const Case cases[] = {
      {"[MACROACTIONCOUNT]\ncount=2147483647\n", "", MacroResult::BadFile, "more than the 8154"},
      {"[MACROACTIONCOUNT]\ncount=100000000\n", "", MacroResult::BadFile, "more than the 8154"},
      {noise, "", MacroResult::BadFile, "no [MACROACTIONCOUNT]"},
      {"[MACROACTIONCOUNT]\ncount=2\n[MACROACTION]\n0=5,0,129,2,1,mouse_key_right\n", "", MacroResult::BadFile,
       "action 1 is missing"},
      {"[MACROACTIONCOUNT]\ncount=1\n[MACROACTION]\n0=garbage\n", "", MacroResult::BadFile, "not an action line"},
      {"", fifo, MacroResult::FileError, "not a regular file"},
      {"", "/dev/zero", MacroResult::FileError, "not a regular file"},
  };
  const std::string index_before = TempHome::ReadText(store.index_path);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    std::string path = c.path;
    if (path.empty()) {
      path = home.Path("in.mac");
      std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    }
    std::string name, problem;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ImportMacro(store, path, name, &problem), c.result);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
    EXPECT_EQ(TempHome::ReadText(store.index_path), index_before);
    EXPECT_FALSE(std::filesystem::exists(store.folder + "name_1.mac"));
  }
  // A file damaged in the library itself: no lines, and the caller hears why.
  WriteIndex("[MACROCOUNT]\ncount=1\n[MACRONAME]\n0=big\n");
  std::ofstream(store.folder + "big.mac") << "[MACROACTIONCOUNT]\ncount=2147483647\n[MACROACTION]\n0=1,0,1,1,1,x\n";
  MacroResult r = MacroResult::Ok;
  EXPECT_TRUE(LoadMacroLines(store, "big", &r).empty());
  EXPECT_EQ(r, MacroResult::BadFile);
}

TEST(MacroMessages, CountFormatsTakeOneNumberAndNothingElse) {
  EXPECT_EQ(FormatCountMessage("At most %d macros.", 50), "At most 50 macros.");
  EXPECT_EQ(FormatCountMessage("Remove %d actions (100%)", 3), "Remove 3 actions (100%)");
  EXPECT_EQ(FormatCountMessage("%s%s%n no number", 3), "%s%s%n no number");
  EXPECT_EQ(FormatCountMessage("%d and %d", 7), "7 and %d");
}

}  // namespace
}  // namespace trx::macro
