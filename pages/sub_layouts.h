#pragma once
// The sub-layouts of the main layout: an element whose class is one of
// these names (compared without regard to case) is built from its file.

#include <array>
#include <string_view>

namespace trx::pages {

struct SubLayout {
  const char* element_class;
  const char* file;
};

inline constexpr std::array<SubLayout, 9> kSubLayouts{{
    {"kb_Key_UI", "keyboard_key.xml"},
    {"kb_Deng_UI", "keyboard_deng.xml"},
    {"kb_Macro_UI", "keyboard_macro.xml"},
    {"MS_Deng_UI", "Mouse_deng.xml"},
    {"MS_Macro_UI", "Mouse_macro.xml"},
    {"MS_Key_UI", "Mouse_key.xml"},
    {"MP_deng_UI", "MousePad_deng.xml"},
    {"MS_DPI_UI", "Mouse_DPI.xml"},
    {"MS_CURSOR_UI", "Mouse_cursor.xml"},
}};

// The element the main window's creation hook makes a circle progress.
inline constexpr const char* kCircleProgressElement = "CircleProgress";

// The file for an element class, or null.
const char* SubLayoutFile(std::string_view element_class);

}  // namespace trx::pages
