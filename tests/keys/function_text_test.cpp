#include "keys/function_text.h"

#include <gtest/gtest.h>

namespace trx::keys {
namespace {

const std::vector<std::string> kMacros = {"combo", "Burst"};

TEST(FunctionText, EveryFamilyParsesToItsBytesAndBack) {
  struct Case {
    const char* text;
    KeyAssignment bytes;
    const char* described;  // the readable form it is listed as
  };
  const Case cases[] = {
      {"left", {0x10, 0x01, 0x00}, "left"},
      {"forward", {0x10, 0x10, 0x00}, "forward"},
      {"dpi-loop", {0x13, 0x03, 0x00}, "dpi-loop"},
      {"dpi-down", {0x13, 0x02, 0x00}, "dpi-down"},
      {"key:Ctrl+C", {0x20, 0x01, 0x06}, "key:LCtrl+C"},
      {"key:rshift+num +", {0x20, 0x20, 0x57}, "key:RShift+Num +"},
      {"key:Num Enter", {0x20, 0x00, 0x58}, "key:Num Enter"},
      {"key:LAlt", {0x20, 0x04, 0x00}, "key:LAlt"},
      {"media:volume-up", {0x30, 0xE9, 0x00}, "media:volume-up"},
      {"media:mail", {0x30, 0x8A, 0x01}, "media:mail"},
      {"system:sleep", {0x40, 0x02, 0x00}, "system:sleep"},
      {"macro:burst", {0x70, 0x01, 0x00}, "macro:Burst:mode=0"},
      {"macro:combo:repeat=7", {0x71, 0x00, 0x07}, "macro:combo:repeat=7"},
      {"macro:combo:mode=3", {0x70, 0x00, 0x03}, "macro:combo:mode=3"},
      {"routine:2", {0x72, 0x01, 0x00}, "routine:2"},
      {"fire:10,200", {0x14, 0x0A, 0xC8}, "fire:10,200"},
      {"swing:right,5,3,4", {0x11, 0x34, 0x85}, "swing:right,5,3,4"},
      {"swing:up,127,15,0", {0x12, 0xF0, 0x7F}, "swing:up,127,15,0"},
      {"disabled", {0x05, 0x00, 0x00}, "Disabled"},  // as `button list` prints it
  };
  for (const Case& c : cases) {
    const ParsedFunction f = ParseFunction(c.text, kMacros);
    ASSERT_TRUE(f.ok) << c.text << ": " << f.reason;
    EXPECT_EQ(f.assignment, c.bytes) << c.text;
    EXPECT_EQ(DescribeFunction(c.bytes, kMacros), c.described);
  }
  EXPECT_TRUE(ParseFunction("default", kMacros).is_default);
  EXPECT_EQ(DescribeFunction({0x05, 0x05, 0x05}, kMacros), "Disabled");
  EXPECT_EQ(DescribeFunction({0x09, 0x01, 0x02}, kMacros), "unknown 0x09 0x01 0x02");
}

TEST(FunctionText, BadFunctionsAreRefusedWithAReason) {
  for (const char* bad : {"", "jump", "key:", "key:Ctrl+Nothing", "media:loud", "system:reboot", "macro:none",
                          "macro:combo:repeat=0", "macro:combo:mode=4", "routine:0", "routine:5", "fire:1",
                          "fire:1,256", "swing:left,128,0,0", "swing:sideways,1,1,1", "swing:up,1,16,0", "dpi"}) {
    const ParsedFunction f = ParseFunction(bad, kMacros);
    EXPECT_FALSE(f.ok) << bad;
    EXPECT_FALSE(f.reason.empty()) << bad;
  }
}

TEST(FunctionText, Buttons) {
  EXPECT_EQ(ParseMouseButton("4"), 3);
  EXPECT_EQ(ParseMouseButton("forward"), 3);
  EXPECT_EQ(ParseMouseButton("LEFT"), 0);
  EXPECT_EQ(ParseMouseButton("7"), 6);
  EXPECT_EQ(ParseMouseButton("0"), std::nullopt);
  EXPECT_EQ(ParseMouseButton("8"), std::nullopt);
  EXPECT_EQ(ParseMouseButton("thumb"), std::nullopt);
}

}  // namespace
}  // namespace trx::keys
