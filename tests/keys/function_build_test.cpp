// Function bytes from the page's controls, labels, shown values, function text.
#include "keys/function_build.h"
#include "keys/function_text.h"

#include <gtest/gtest.h>

namespace trx::keys {
namespace {

constexpr KeyAssignment kFactory{0x13, 0x03, 0x00};

struct BuildCase { const char* what; int item; CategoryValues values; std::optional<KeyAssignment> expected; };

CategoryValues With(void (*set)(CategoryValues&)) {
  CategoryValues v;
  set(v);
  return v;
}

// One row per family, bytes written by hand.
TEST(BuildAssignment, EveryFamily) {
  const BuildCase cases[] = {
      {"default", 0, {}, KeyAssignment{0x13, 0x03, 0x00}},
      {"forward", 1, With([](CategoryValues& v) { v.button_item = 3; }), KeyAssignment{0x10, 0x10, 0x00}},
      {"no button", 1, {}, std::nullopt},
      {"right swing 5, 3/4", 2,
       With([](CategoryValues& v) { v.h_direction_item = 1, v.h_count = 5, v.h_high = 3, v.h_low = 4; }),
       KeyAssignment{0x11, 0x34, 0x85}},
      {"up swing 127, 15/15", 3,
       With([](CategoryValues& v) { v.v_direction_item = 0, v.v_count = 127, v.v_high = 15, v.v_low = 15; }),
       KeyAssignment{0x12, 0xFF, 0x7F}},
      {"dpi loop", 4, With([](CategoryValues& v) { v.dpi_item = 2; }), KeyAssignment{0x13, 0x03, 0x00}},
      {"fire 200,7", 5, With([](CategoryValues& v) { v.fire_a = 200, v.fire_b = 7; }), KeyAssignment{0x14, 0xC8, 0x07}},
      {"key A, LShift item", 6,
       With([](CategoryValues& v) { v.key_captured = true, v.captured = {0x20, 0, 0x04}, v.modifier_item = 2; }),
       KeyAssignment{0x20, 0x02, 0x04}},
      {"key A, item 0 drops the modifier", 6,
       With([](CategoryValues& v) { v.key_captured = true, v.captured = {0x20, 0x01, 0x04}, v.modifier_item = 0; }),
       KeyAssignment{0x20, 0x00, 0x04}},
      {"LCtrl alone keeps its bit", 6,
       With([](CategoryValues& v) { v.key_captured = true, v.captured = {0x20, 0x01, 0x00}, v.modifier_item = 0; }),
       KeyAssignment{0x20, 0x01, 0x00}},
      {"no key captured", 6, {}, std::nullopt},
      {"media mail", 7, With([](CategoryValues& v) { v.media_item = 17; }), KeyAssignment{0x30, 0x8A, 0x01}},
      {"volume up", 7, With([](CategoryValues& v) { v.media_item = 6; }), KeyAssignment{0x30, 0xE9, 0x00}},
      {"system sleep", 8, With([](CategoryValues& v) { v.system_item = 1; }), KeyAssignment{0x40, 0x02, 0x00}},
      {"macro 2 mode 3", 9, With([](CategoryValues& v) { v.macro_item = 2, v.repeat_item = 3; }),
       KeyAssignment{0x70, 0x02, 0x03}},
      {"macro 1 count 9", 9, With([](CategoryValues& v) { v.macro_item = 1, v.repeat_item = 4, v.repeat_count = 9; }),
       KeyAssignment{0x71, 0x01, 0x09}},
      {"no macro", 9, With([](CategoryValues& v) { v.repeat_item = 0; }), std::nullopt},
      {"routine 3", 10, With([](CategoryValues& v) { v.routine_item = 3; }), KeyAssignment{0x72, 0x03, 0x00}},
      {"disabled", 11, {}, KeyAssignment{0x05, 0x00, 0x00}},
      {"unknown category", 12, {}, std::nullopt},
  };
  for (const BuildCase& c : cases) EXPECT_EQ(BuildAssignment(c.item, c.values, kFactory), c.expected) << c.what;
}

TEST(BuildAssignment, EditLimits) {
  const std::tuple<int, int, std::optional<int>> cases[] = {
      {11, 300, 255}, {12, 255, std::nullopt}, {15, 128, 127}, {16, 500, 127},  {17, 16, 15}, {18, 16, 15},
      {19, 16, 15},   {20, 16, 15},            {25, 0, 1},     {25, -4, 1},     {25, 256, 255},
      {17, -3, std::nullopt},  // upper limits only
  };
  for (const auto& [edit, value, clamped] : cases) EXPECT_EQ(ClampEditValue(edit, value), clamped) << edit << " " << value;
}

TEST(CaptureKey, RowsAndKeypadEnter) {
  const auto enter = CaptureRow(0x0D, 0x00);
  const auto keypad = CaptureRow(0x0D, 0x01);
  ASSERT_TRUE(enter && keypad);
  EXPECT_EQ(CapturedAssignment(*enter, -1), (KeyAssignment{0x20, 0x00, 0x28}));
  EXPECT_EQ(CapturedAssignment(*keypad, -1), (KeyAssignment{0x20, 0x00, 0x58}));
  EXPECT_EQ(CapturedAssignment(*CaptureRow(0x0D, 0x81), -1).param2, 0x58);
  EXPECT_EQ(CapturedAssignment(*CaptureRow('A', 0), 2), (KeyAssignment{0x20, 0x02, 0x04}));
  EXPECT_EQ(CapturedAssignment(*CaptureRow(0xA2, 0), -1), (KeyAssignment{0x20, 0x01, 0x00}));  // LCtrl
  EXPECT_EQ(CaptureRow(0xAF, 0), std::nullopt);   // volume up: a media row
  EXPECT_EQ(CaptureRow(0x104, 0), std::nullopt);  // sleep: a system row
  EXPECT_EQ(CaptureRow(0x07, 0), std::nullopt);   // no row
}

TEST(KeyTable, MacroRowsThenConsumerAndSystemRows) {
  const auto& table = KeyTable();
  EXPECT_STREQ(table[0].name, "keyboard_key_LCtrl");
  EXPECT_STREQ(table[103].name, "keyboard_key_App");
  auto row = [&](size_t i) { return std::vector<int>{table[i].virtual_key, table[i].type, table[i].param1, table[i].param2}; };
  EXPECT_EQ(row(104), (std::vector<int>{0xB7, 0x30, 0x92, 0x01}));
  EXPECT_EQ(table[121].virtual_key, 0xB5);
  EXPECT_EQ(row(124), (std::vector<int>{0x105, 0x40, 0x04, 0x00}));
}

TEST(Labels, EveryType) {
  const std::vector<std::string> macros = {"first", "second"};
  struct Case { KeyAssignment a; Label::Kind kind; const char* text; };
  const Case cases[] = {
      {{0x10, 0x08, 0}, Label::LanguageKey, "mouse_key_back"},
      {{0x11, 0x34, 0x85}, Label::LanguageKey, "mouse_key_right_Swing"},
      {{0x11, 0x34, 0x05}, Label::LanguageKey, "mouse_key_left_Swing"},
      {{0x12, 0, 0x80}, Label::LanguageKey, "mouse_key_down_Swing"},
      {{0x12, 0, 0x01}, Label::LanguageKey, "mouse_key_up_Swing"},
      {{0x13, 3, 0}, Label::LanguageKey, "mouse_key_DPI_loop"},
      {{0x14, 1, 2}, Label::LanguageKey, "mouse_key_fire_key"},
      {{0x20, 0x00, 0x04}, Label::LanguageKey, "keyboard_key_A"},
      {{0x00, 0x00, 0x28}, Label::LanguageKey, "keyboard_key_Enter"},
      {{0x20, 0x03, 0x06}, Label::LanguageKey, "keyboard_key_C"},  // Ctrl+Shift+C: by its key
      {{0x20, 0x01, 0x00}, Label::LanguageKey, "keyboard_key_LCtrl"},
      {{0x30, 0xCD, 0x00}, Label::LanguageKey, "media_play"},
      {{0x21, 0x83, 0x01}, Label::LanguageKey, "media_text"},
      {{0x40, 0x04, 0}, Label::LanguageKey, "system_wake_up"},
      {{0x70, 1, 0}, Label::MacroName, "second"},
      {{0x71, 0, 5}, Label::MacroName, "first"},
      {{0x70, 7, 0}, Label::Keep, ""},  // past the index
      {{0x72, 2, 0}, Label::LanguageKey, "GUN_3"},
      {{0x15, 0, 0}, Label::Keep, ""},
      {{0xC0, 0, 0}, Label::Keep, ""},
      {{0x05, 0x05, 0x05}, Label::LanguageKey, "close_text"},
      {{0x99, 0, 0}, Label::LanguageKey, "close_text"},
      {{0x10, 0x03, 0}, Label::Keep, ""},  // no table row
  };
  for (const Case& c : cases) {
    const Label label = LabelOf(c.a, macros);
    EXPECT_EQ(label.kind, c.kind) << int(c.a.type);
    EXPECT_EQ(label.text, c.text) << int(c.a.type);
  }
}

TEST(ShowValues, RoundTripsWhatTheBuildMakes) {
  const KeyAssignment samples[] = {{0x10, 0x02, 0}, {0x11, 0x34, 0x85}, {0x12, 0xA1, 0x10}, {0x13, 1, 0},
                                   {0x14, 9, 250},  {0x20, 0x04, 0x06}, {0x20, 0x01, 0x00}, {0x30, 0x24, 0x02},
                                   {0x40, 0x01, 0}, {0x70, 1, 2},       {0x71, 0, 40},      {0x72, 1, 0}};
  for (const KeyAssignment& a : samples) {
    const ShownFunction shown = ShowValues(a, 2);
    ASSERT_TRUE(shown.category) << int(a.type);
    EXPECT_EQ(BuildAssignment(*shown.category, shown.values, kFactory), a) << int(a.type);
  }
  EXPECT_EQ(ShowValues({0x15, 0, 0}, 2).category, std::nullopt);
  EXPECT_EQ(ShowValues({0x70, 5, 0}, 2).values.macro_item, -1);  // past the macro count
}

const std::vector<std::string> kMacros = {"combo", "Burst"};

TEST(FunctionText, EveryFamilyParsesToItsBytesAndBack) {
  struct Case { const char* text; KeyAssignment bytes; const char* described; };  // described: as listed
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
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"4", 3}, {"forward", 3}, {"LEFT", 0}, {"7", 6}, {"0", std::nullopt}, {"8", std::nullopt}, {"thumb", std::nullopt}};
  for (const auto& [text, button] : cases) EXPECT_EQ(ParseMouseButton(text), button) << text;
}

}  // namespace
}  // namespace trx::keys
