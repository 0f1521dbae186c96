// Private-profile INI semantics: lookups, defaults, the read buffer limit,
// writes that keep the rest of the file, encodings, extension twins, batches.

#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

#include "platform/atomic_file.h"
#include "tests/platform/temp_home.h"
#include "tests/support/golden.h"

namespace trx {
namespace {

using test::ReadGoldenText;
using test::TempHome;

class IniFileTest : public ::testing::Test {
 protected:
  std::string Read(const char* section, const char* key, const char* def = "0") {
    std::string out;
    GetPrivateProfileString(section, key, def, out, ini_);
    return out;
  }
  TempHome home_;
  std::string ini_ = home_.Path("test.ini");
};

// Names ignore case, the first match wins, else the default (trailing blanks cut); keys
// before any section and comments are no entries; quoted values lose their quotes.
TEST_F(IniFileTest, LookupsFindTheFirstMatchOrTheDefault) {
  // File (nullptr: the first row, no file yet), section, key, default, the value read.
  const std::tuple<const char*, const char*, const char*, const char*, const char*> rows[] = {
      {nullptr, "S", "k", "dflt", "dflt"},
      {"[ProfileDeviceName]\n0=Fast\nCount = 3 \n", "PROFILEDEVICENAME", "0", "0", "Fast"},
      {"[ProfileDeviceName]\n0=Fast\nCount = 3 \n", "profiledevicename", "COUNT", "0", "3"},
      {"[A]\nk=first\nK=second\n[a]\nk=third\n", "A", "k", "0", "first"},
      {"[S]\nother=1\n", "S", "k", "0", "0"},
      {"[S]\nother=1\n", "T", "other", "x  ", "x"},
      {"k=orphan\n[S]\n;k=commented\n#k=also\nk=real\n", "S", "k", "0", "real"},
      {"[S]\na=\"C:\\Games\\x.exe\"\nb='one'\nc=\"open\n", "S", "a", "0", "C:\\Games\\x.exe"},
      {"[S]\na=\"C:\\Games\\x.exe\"\nb='one'\nc=\"open\n", "S", "b", "0", "one"},
      {"[S]\na=\"C:\\Games\\x.exe\"\nb='one'\nc=\"open\n", "S", "c", "0", "\"open"},
  };
  for (const auto& [file, section, key, def, expected] : rows) {
    SCOPED_TRACE(std::string(section) + "/" + key);
    if (file != nullptr) TempHome::WriteText(ini_, file);
    EXPECT_EQ(Read(section, key, def), expected);
  }
}

TEST_F(IniFileTest, ValueIsCutToBufferLessOneCharacter) {
  std::string ascii(300, 'a');
  std::string wide;
  for (int i = 0; i < 300; ++i) wide += "鼠";  // 3 bytes each in UTF-8
  TempHome::WriteText(ini_, "[S]\na=" + ascii + "\nw=" + wide + "\n");
  std::string out;
  EXPECT_EQ(GetPrivateProfileString("S", "a", "0", out, ini_), 259u);
  EXPECT_EQ(out, std::string(259, 'a'));
  EXPECT_EQ(GetPrivateProfileString("S", "w", "0", out, ini_), 259u);
  EXPECT_EQ(out.size(), 259u * 3);
  EXPECT_EQ(GetPrivateProfileString("S", "a", "0", out, ini_, 5), 4u);
  EXPECT_EQ(out, "aaaa");
}

TEST_F(IniFileTest, NumbersConvertLikeStrtol) {
  TempHome::WriteText(ini_, "[S]\na=12abc\nb= -3\nc=x\nd=+7\n");
  for (const auto& [key, value] : {std::pair{"a", 12}, {"b", -3}, {"c", 0}, {"d", 7}, {"missing", 0}})
    EXPECT_EQ(GetPrivateProfileLong("S", key, ini_), value) << key;
}

// CRLF lines, a comment, a line without '=', a blank line and no newline at the end.
TEST_F(IniFileTest, WriteKeepsEveryOtherLineAsItWas) {
  TempHome::WriteText(ini_, ReadGoldenText("platform/kept_lines.ini"));
  ASSERT_TRUE(WritePrivateProfileString("profiledevicename", "0", "Renamed", ini_));
  ASSERT_TRUE(WritePrivateProfileString("PROFILEDEVICENAME", "1", "second", ini_));
  ASSERT_TRUE(WritePrivateProfileString("OTHER", "y", "2", ini_));
  EXPECT_EQ(TempHome::ReadText(ini_), ReadGoldenText("platform/kept_lines_written.ini"));
}

TEST_F(IniFileTest, DeleteKeyAndSection) {
  TempHome::WriteText(ini_, "[A]\nk=1\nj=2\n[B]\nz=3\n");
  ASSERT_TRUE(DeletePrivateProfileKey("a", "K", ini_));
  ASSERT_TRUE(DeletePrivateProfileSection("b", ini_));
  EXPECT_EQ(TempHome::ReadText(ini_), "[A]\nj=2\n");
  EXPECT_TRUE(DeletePrivateProfileKey("none", "k", ini_));
}

TEST_F(IniFileTest, WritesThatCouldNotBeReadBackAreRefused) {
  TempHome::WriteText(ini_, "[S]\nk=v\n");
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "a\n[EVIL]\nx=1", ini_));
  EXPECT_FALSE(WritePrivateProfileString("S", "a=b", "1", ini_));
  EXPECT_FALSE(WritePrivateProfileString("", "k", "1", ini_));
  EXPECT_FALSE(WritePrivateProfileString("S", ";k", "1", ini_));    // would read as a comment
  EXPECT_FALSE(WritePrivateProfileString("S", "[k]", "1", ini_));   // would read as a section
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "\xFF\xFE", ini_));  // not UTF-8
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "\xED\xA0\x80", ini_));  // a UTF-16 surrogate
  EXPECT_EQ(TempHome::ReadText(ini_), "[S]\nk=v\n");
}

// "[S]\r\nname=鼠标\r\n" as UTF-16 with a byte-order mark.
std::vector<uint8_t> Utf16Ini(bool big_endian) {
  const uint16_t units[] = {'[', 'S', ']', '\r', '\n', 'n', 'a', 'm', 'e', '=', 0x9F20, 0x6807, '\r', '\n'};
  std::vector<uint8_t> bytes = big_endian ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
  for (uint16_t u : units) {
    uint8_t hi = static_cast<uint8_t>(u >> 8), lo = static_cast<uint8_t>(u & 0xFF);
    bytes.push_back(big_endian ? hi : lo);
    bytes.push_back(big_endian ? lo : hi);
  }
  return bytes;
}

// Read in either byte order; a write keeps the encoding (a UTF-8 byte-order mark too).
TEST_F(IniFileTest, Utf16FilesWithByteOrderMarkAreReadAndKeepTheirEncoding) {
  TempHome::WriteBytes(ini_, Utf16Ini(true));
  EXPECT_EQ(Read("S", "name"), "鼠标");
  TempHome::WriteBytes(ini_, Utf16Ini(false));
  EXPECT_EQ(Read("s", "NAME"), "鼠标");
  ASSERT_TRUE(WritePrivateProfileString("S", "n", "1", ini_));
  std::vector<uint8_t> expected = Utf16Ini(false);
  for (uint8_t b : std::vector<uint8_t>{'n', 0, '=', 0, '1', 0, '\r', 0, '\n', 0}) expected.push_back(b);
  EXPECT_EQ(TempHome::ReadBytes(ini_), expected);
  TempHome::WriteText(ini_, "\xEF\xBB\xBF[S]\nk=v\n");
  EXPECT_EQ(Read("S", "k"), "v");
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "w", ini_));
  EXPECT_EQ(TempHome::ReadText(ini_), "\xEF\xBB\xBF[S]\nk=w\n");
}

// A write goes to the given spelling, keeps the twin's content and drops the twin,
// even when the value is already stored.
TEST_F(IniFileTest, FileIsFoundWhateverTheCaseOfItsExtension) {
  TempHome::WriteText(home_.Path("main.INI"), "[SKINIMAGE]\nFLAGS=1\n");
  const std::string path = home_.Path("main.ini");
  std::string out;
  GetPrivateProfileString("SKINIMAGE", "FLAGS", "0", out, path);
  EXPECT_EQ(out, "1");
  ASSERT_TRUE(WritePrivateProfileString("SKINIMAGE", "FLAGS", "1", path));
  EXPECT_EQ(TempHome::List(home_.root()), std::vector<std::string>{"main.ini"});
  ASSERT_TRUE(WritePrivateProfileString("SKINIMAGE", "IMAGE", "a.png", path));
  EXPECT_EQ(TempHome::ReadText(path), "[SKINIMAGE]\nFLAGS=1\nIMAGE=a.png\n");
}

// A write of a stored value (in any spelling of the key) replaces nothing: same inode
// and modification time, no temporary file.
TEST_F(IniFileTest, WriteOfStoredValueLeavesTheFileAlone) {
  TempHome::WriteText(ini_, "[S]\nCount=3\nname=profile1\n");
  struct stat before {};
  ASSERT_EQ(::stat(ini_.c_str(), &before), 0);
  int writes = 0;
  SetAtomicWriteHookForTesting([&](const std::string&) { ++writes; return true; });
  EXPECT_TRUE(WritePrivateProfileString("S", "COUNT", "3", ini_));
  EXPECT_TRUE(WritePrivateProfileStrings({{"s", "count", "3"}, {"S", "name", "profile1"}}, ini_));
  EXPECT_EQ(writes, 0);
  EXPECT_TRUE(WritePrivateProfileString("S", "name", "profile2", ini_));  // a change is written
  SetAtomicWriteHookForTesting(nullptr);
  EXPECT_EQ(writes, 1);
  struct stat after {};
  ASSERT_EQ(::stat(ini_.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);

  struct stat again {};
  ASSERT_TRUE(WritePrivateProfileString("S", "name", "profile2", ini_));
  ASSERT_EQ(::stat(ini_.c_str(), &again), 0);
  EXPECT_EQ(again.st_ino, after.st_ino);
  EXPECT_EQ(again.st_mtim.tv_sec, after.st_mtim.tv_sec);
  EXPECT_EQ(again.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

// Several keys in one replacement; a refused entry leaves the file as it was.
TEST_F(IniFileTest, BatchedWriteIsOneReplacementAndAllOrNothing) {
  int writes = 0;
  SetAtomicWriteHookForTesting([&](const std::string&) { ++writes; return true; });
  EXPECT_TRUE(WritePrivateProfileStrings({{"A", "COUNT", "1"}, {"B", "0", "profile1"}, {"A", "SELECT", "0"}}, ini_));
  EXPECT_FALSE(WritePrivateProfileStrings({{"A", "COUNT", "2"}, {"B", "bad=key", "x"}}, ini_));
  SetAtomicWriteHookForTesting(nullptr);
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(TempHome::ReadText(ini_), "[A]\nCOUNT=1\nSELECT=0\n[B]\n0=profile1\n");
}

}  // namespace
}  // namespace trx
