#pragma once
// The control names the page layer and the main window look up, defined once. The
// layouts of the skin package must contain every one of them (a test reads
// the layouts and checks every handle's binding and kLookedUpNames), so a
// renamed control fails the tests instead of leaving a page dead.

#include <array>
#include <string_view>

#include "device/device_channel.h"
#include "settings/settings_host.h"

#include "platform/text_ids.h"

namespace trx::pages::names {

// ---- main window frame
inline constexpr const char* kRoot = "root";
inline constexpr const char* kCloseBtn = "closebtn";
inline constexpr const char* kMaxBtn = "maxbtn";
inline constexpr const char* kRestoreBtn = "restorebtn";
inline constexpr const char* kMinBtn = "minbtn";
inline constexpr const char* kSkinBtn = "skinbtn";
inline constexpr const char* kSettingProgress = "setting_progress";

// ---- device tabs over the tab layout "tab_switch" (page = position)
inline constexpr const char* kTabSwitch = "tab_switch";
inline constexpr const char* kKbTab = "kb_tab";
inline constexpr const char* kMsTab = "ms_tab";
inline constexpr const char* kMpTab = "mp_tab";
inline constexpr const char* kAniTab = "ani_tab";
inline constexpr const char* kSplitTab = "split_tab";

// ---- lighting palettes preselected at start
inline constexpr const char* kMsDengColorPallet = "ms_deng_Color_Pallet";
inline constexpr const char* kMpDengColorPallet = "mp_deng_Color_Pallet";
inline constexpr const char* kKbDengColorPallet = "kb_deng_Color_Pallet";

// ---- key-light controls: prefix + decimal index 0 .. count-1
inline constexpr const char* kMsDkeyPrefix = "ms_dkey_";
inline constexpr int kMsDkeyCount = 20;
inline constexpr const char* kMpDkeyPrefix = "mp_dkey_";
inline constexpr int kMpDkeyCount = 15;
inline constexpr const char* kKbDkeyPrefix = "kb_dkey_";
inline constexpr int kKbDkeyCount = 126;

// ---- keyboard pages, tab layout "kb_tab_switch"
inline constexpr const char* kKbTabSwitch = "kb_tab_switch";
inline constexpr const char* kKbDengOpTab = "kb_deng_Op_tab";
inline constexpr const char* kKbMacroOpTab = "kb_macro_Op_tab";
inline constexpr const char* kKbKeyOpTab = "kb_key_Op_tab";
inline constexpr const char* kKbCursorOpTab = "kb_cursor_Op_tab";
inline constexpr const char* kKbTabFunction = "kb_tab_function";
inline constexpr const char* kKbProfileSelectTab = "kb_profile_select_tab";
inline constexpr const char* kKbProfileFunSpeadTab = "kb_profile_fun_spead_tab";
inline constexpr const char* kKbProfileFunSpreadBtn = "kb_profile_fun_spread_btn";
inline constexpr const char* kKbKeyProfileEdit = "kb_key_profile_edit";
inline constexpr const char* kKbDengProfileEdit = "kb_deng_profile_edit";
inline constexpr const char* kKbMacroTabSaveOrCancel = "kb_macro_tab_saveorcancel";

// ---- mouse pages, tab layout "ms_tab_switch"
inline constexpr const char* kMsTabSwitch = "ms_tab_switch";
inline constexpr const char* kMsDengOpTab = "ms_deng_Op_tab";
inline constexpr const char* kMsMacroOpTab = "ms_macro_Op_tab";
inline constexpr const char* kMsKeyOpTab = "ms_key_Op_tab";
inline constexpr const char* kMsRichOpTab = "ms_rich_Op_tab";
inline constexpr const char* kMsCursorOpTab = "ms_cursor_Op_tab";
inline constexpr const char* kMsTabFunction = "ms_tab_function";
inline constexpr const char* kMsProfileFunSpeadTab = "ms_profile_fun_spead_tab";
inline constexpr const char* kMsProfileFunSpreadBtn = "ms_profile_fun_spread_btn";
inline constexpr const char* kMsMacroTabSaveOrCancel = "ms_macro_tab_saveorcancel";

// ---- mouse pad
inline constexpr const char* kMpProfileFunSpeadTab = "mp_profile_fun_spead_tab";
inline constexpr const char* kMpProfileFunSpreadBtn = "mp_profile_fun_spread_btn";

// ---- shown, hidden or selected when devices come and go
inline constexpr const char* kMsTabPanel = "ms_tab_panel";
inline constexpr const char* kMsDengSameMode = "ms_deng_same_mode";
inline constexpr const char* kKbDengSameMode = "kb_deng_same_mode";
inline constexpr const char* kMpDengSameMode = "mp_deng_same_mode";

// ---- profile combos, one per device and profile family
inline constexpr const char* kMsDeviceProfileCombo = "ms_device_profile_combo";
inline constexpr const char* kMsDengProfileCombo = "ms_deng_profile_combo";
inline constexpr const char* kMsKeyProfileCombo = "ms_key_profile_combo";
inline constexpr const char* kKbDengProfileCombo = "kb_deng_profile_combo";
inline constexpr const char* kKbKeyProfileCombo = "kb_key_profile_combo";
inline constexpr const char* kMpDengProfileCombo = "mp_deng_profile_combo";

// ---- mouse onboard profile buttons: prefix + 0 .. 4
inline constexpr const char* kMsProfilePrefix = "ms_profile_";
// ---- DPI colour buttons: prefix + 1 .. 4
inline constexpr const char* kMsDpiColorBtnPrefix = "ms_DPIcolor_btn_";
inline constexpr int kDpiColourButtonCount = 4;
// ---- performance page ("Mouse_DPI.xml"): DPI level n (1 .. 6) is
// "ms_DPI" + n + one of the suffixes; levels 1-4 are stored, 5-6 shown only
inline constexpr const char* kMsDpiPrefix = "ms_DPI";
inline constexpr const char* kDpiSliderSuffix = "_slider";
inline constexpr const char* kDpiValueSuffix = "_label_value";
inline constexpr const char* kDpiRankSuffix = "_label_rank";
inline constexpr const char* kDpiMinSuffix = "_min";
inline constexpr const char* kDpiMaxSuffix = "_max";
inline constexpr int kDpiLevelCount = 6;
inline constexpr int kDpiStoredLevelCount = 4;
inline constexpr const char* kMsReportFctCombo = "ms_report_fct_combo";
inline constexpr const char* kMsReportRateNote = "ms_report_rate_note";
inline constexpr const char* kMsSensorHeightBox = "ms_sensor_height_box";
inline constexpr const char* kMsPointSpeedSlider = "ms_point_speed_slider";
inline constexpr const char* kMsPointSpeedRange = "ms_point_speed_range";
inline constexpr const char* kMsPointSpeedNote = "ms_point_speed_note";
inline constexpr const char* kMsGunlunSpeedEdit = "ms_gunlun_speed_edit";
inline constexpr const char* kMsGunlunSpeedUpBtn = "ms_gunlun_speed_up_btn";
inline constexpr const char* kMsGunlunSpeedDownBtn = "ms_gunlun_speed_down_btn";
inline constexpr const char* kMsGunlunSpeedNote = "ms_gunlun_speed_note";
inline constexpr const char* kMsOneProfileDefault = "ms_one_profile_default";
inline constexpr std::array<const char*, 13> kPerformanceNames{
    kMsReportFctCombo, kMsReportRateNote, kMsSensorHeightBox, kMsPointSpeedSlider, kMsPointSpeedRange,
    kMsPointSpeedNote, kMsGunlunSpeedEdit, kMsGunlunSpeedUpBtn, kMsGunlunSpeedDownBtn, kMsGunlunSpeedNote,
    kMsOneProfileDefault, "ms_sensor_height_slider", "ms_DPI6_label_value"};

// ---- key selections: a keyboard key picked (click), a mouse button
// selected (selection); prefix + index
inline constexpr const char* kKbKeyPrefix = "kb_key_";
inline constexpr const char* kMsKeyPrefix = "ms_key_";
// ---- macro editor: the mouse-event box of each family
inline constexpr const char* kMsMacroBtnShubiao = "ms_macro_btn_shubiao";
inline constexpr const char* kKbMacroBtnShubiao = "kb_macro_btn_shubiao";
inline constexpr const char* kKbMacroAction = "kb_macro_action";

// ---- language text ids the page layer shows: platform/text_ids.h
inline constexpr const char* kTextMacroEditing = text::kMacroEditing;
inline constexpr const char* kTextExported = text::kExported;

// ---- rename-edit toggles: button, the edit it shows or hides
struct EditToggle {
  const char* button;
  const char* edit;
};
inline constexpr std::array<EditToggle, 5> kRenameEditToggles{{
    {"kb_pro_deng_edit_btn", "kb_deng_profile_edit"},
    {"kb_pro_key_edit_btn", "kb_key_profile_edit"},
    {"mp_pro_deng_edit_btn", "mp_deng_profile_edit"},
    {"ms_pro_deng_edit_btn", "ms_deng_profile_edit"},
    {"ms_pro_key_edit_btn", "ms_key_profile_edit"},
}};

// ---- profile function panel toggles: button, the panel it shows or hides
inline constexpr std::array<EditToggle, 3> kSpreadToggles{{
    {kKbProfileFunSpreadBtn, kKbProfileFunSpeadTab},
    {kMpProfileFunSpreadBtn, kMpProfileFunSpeadTab},
    {kMsProfileFunSpreadBtn, kMsProfileFunSpeadTab},
}};

// ---- routine editor: insert buttons and key panels, each name with both
// prefixes ("ms_macro_inset_", "kb_macro_inset_")
inline constexpr std::array<const char*, 2> kRoutinePrefixes{"ms_macro_inset_", "kb_macro_inset_"};
// Insert button suffix and the key panel (suffix) it belongs to; null for
// the pointer moves, which have no key panel: they leave every panel hidden.
struct RoutineInsert {
  const char* button;
  const char* panel;
};
inline constexpr std::array<RoutineInsert, 19> kRoutineInserts{{
    {"leftkey_btn", "leftkey_tab"},          {"rightkey_btn", "rightkey_tab"},
    {"moudlekey_btn", "moudlekey_tab"},      {"forwardkey_btn", "forwardkey_tab"},
    {"backkey_btn", "backkey_tab"},          {"leftkeydown_btn", "leftkey_tab"},
    {"rightkeydown_btn", "rightkey_tab"},    {"moudlekeydown_btn", "moudlekey_tab"},
    {"forwardkeydown_btn", "forwardkey_tab"}, {"backkeydown_btn", "backkey_tab"},
    {"leftkeyup_btn", "leftkey_tab"},        {"rightkeyup_btn", "rightkey_tab"},
    {"moudlekeyup_btn", "moudlekey_tab"},    {"forwardkeyup_btn", "forwardkey_tab"},
    {"backkeyup_btn", "backkey_tab"},        {"moveleftkey_btn", nullptr},
    {"moverightkey_btn", nullptr},           {"moveupkey_btn", nullptr},
    {"movedownkey_btn", nullptr},
}};
inline constexpr std::array<const char*, 5> kRoutinePanels{"leftkey_tab", "moudlekey_tab", "rightkey_tab",
                                                           "forwardkey_tab", "backkey_tab"};

// ---- macro recording options (read when recording starts)
inline constexpr std::array<const char*, 5> kMacroRecordOptions{
    "ms_macro_check_time", "ms_macro_keyboard_event", "ms_macro_mouse_click", "ms_macro_mouse_roller",
    "ms_macro_mouse_move"};

// ---- tray menu items
inline constexpr const char* kMenuLanEn = "lan_en";
inline constexpr const char* kMenuLanCn = "lan_cn";
inline constexpr const char* kMenuAbout = "About_setting";
inline constexpr const char* kMenuAutostart = "autostart";  // check item: start with the session
inline constexpr const char* kMenuOpenRgb = "openrgb_server";  // check item: the OpenRGB SDK server
inline constexpr const char* kMenuQianting = "qianting";
inline constexpr const char* kMenuExit = "exit";
inline constexpr const char* kMenuImport = "Menu_Import";
inline constexpr const char* kMenuExport = "Menu_Export";
// The simulated-device section added to the menu under --simulate.
inline constexpr const char* kMenuSimPrefix = "sim_";

// The program-link controls of each profile family (chooser button, check
// box, name edit, the container shown while linked, the window-pick button)
// and the two unlink buttons.
struct LinkControlNames {
  DeviceKind kind;
  ProfileFamily family;
  const char* button;
  const char* check;
  const char* edit;
  const char* container;
  const char* pick;
};
inline constexpr std::array<LinkControlNames, 6> kLinkControls{{
    {DeviceKind::Mouse, ProfileFamily::Device, "ms_device_profile_link_btn", "ms_device_profile_link_check",
     "ms_device_profile_link_edit", "ms_device_profile_link_name_hor", "ms_device_profile_link_pick_btn"},
    {DeviceKind::Mouse, ProfileFamily::Light, "ms_deng_profile_link_btn", "ms_deng_profile_link_check",
     "ms_deng_profile_link_edit", "ms_deng_profile_link_name_hor", "ms_deng_profile_link_pick_btn"},
    {DeviceKind::Mouse, ProfileFamily::Key, "ms_key_profile_link_btn", "ms_key_profile_link_check",
     "ms_key_profile_link_edit", "ms_key_profile_link_name_hor", "ms_key_profile_link_pick_btn"},
    {DeviceKind::Keyboard, ProfileFamily::Light, "kb_deng_profile_link_btn", "kb_deng_profile_link_check",
     "kb_deng_profile_link_edit", "kb_deng_profile_link_name_hor", "kb_deng_profile_link_pick_btn"},
    {DeviceKind::Keyboard, ProfileFamily::Key, "kb_key_profile_link_btn", "kb_key_profile_link_check",
     "kb_key_profile_link_edit", "kb_key_profile_link_name_hor", "kb_key_profile_link_pick_btn"},
    {DeviceKind::MousePad, ProfileFamily::Light, "mp_deng_profile_link_btn", "mp_deng_profile_link_check",
     "mp_deng_profile_link_edit", "mp_deng_profile_link_name_hor", "mp_deng_profile_link_pick_btn"},
}};
struct UnlinkButton {
  const char* button;
  DeviceKind kind;
  ProfileFamily family;
};
inline constexpr std::array<UnlinkButton, 2> kUnlinkButtons{{
    {"ms_device_cancle_link_btn", DeviceKind::Mouse, ProfileFamily::Device},
    {"kb_deng_cancle_link_btn", DeviceKind::Keyboard, ProfileFamily::Light},
}};

// Every single name above that the main layout (with its sub-layouts) must
// hold and that no handle binds: bound names are checked through the
// bindings (CPageSet::Bindings), the families, toggles and routine names
// from their tables. Menu items are checked against the menu layout
// separately.
inline constexpr std::array<const char*, 11> kLookedUpNames{
    kCloseBtn, kAniTab, kSplitTab, kKbDengOpTab, kKbKeyOpTab, kKbCursorOpTab,
    kMsKeyOpTab, kMsRichOpTab, kMsCursorOpTab, kMsProfileFunSpreadBtn, kMpProfileFunSpreadBtn,
};

// Items the tray menu layout must hold.
inline constexpr std::array<const char*, 5> kMenuLayoutItems{kMenuLanCn, kMenuLanEn, kMenuAutostart, kMenuOpenRgb,
                                                             kMenuAbout};

}  // namespace trx::pages::names
