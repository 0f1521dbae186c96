#pragma once
// Names of the profile indexes: INI files, sections, keys, combos and the
// default files that ship in the program folder.
//
// Each device's INI index lists its profiles per family in five sections;
// indexes are decimal strings from "0":
//
//   family   count (key "count")  names (key = index)  selected (key "select")
//            link flag (key = index, "1" linked)  linked program (key = index)
//   device   PROFILEDEVICECOUNT  PROFILEDEVICENAME  PROFILEDEVICESELECT  PROFILELIKEDEVICEEXE  DEVICEPROCESS
//   light    PROFILEDENGCOUNT    PROFILEDENGNAME    PROFILEDENGSELECT    PROFILELIKEDENGEXE    DENGPROCESS
//   key      PROFILECOUNT        PROFILENAME        PROFILESELECT        PROFILELIKEEXE        PROCESS

#include "platform/text_ids.h"

namespace trx {

inline constexpr const char* kIniKeyCount = "count";
inline constexpr const char* kIniKeySelect = "select";
inline constexpr const char* kIniDefault = "0";

inline constexpr const char* kSecDeviceCount = "PROFILEDEVICECOUNT";
inline constexpr const char* kSecDeviceName = "PROFILEDEVICENAME";
inline constexpr const char* kSecDeviceSelect = "PROFILEDEVICESELECT";
inline constexpr const char* kSecDeviceLink = "PROFILELIKEDEVICEEXE";
inline constexpr const char* kSecDeviceProcess = "DEVICEPROCESS";

inline constexpr const char* kSecLightCount = "PROFILEDENGCOUNT";
inline constexpr const char* kSecLightName = "PROFILEDENGNAME";
inline constexpr const char* kSecLightSelect = "PROFILEDENGSELECT";
inline constexpr const char* kSecLightLink = "PROFILELIKEDENGEXE";
inline constexpr const char* kSecLightProcess = "DENGPROCESS";

inline constexpr const char* kSecKeyCount = "PROFILECOUNT";
inline constexpr const char* kSecKeyName = "PROFILENAME";
inline constexpr const char* kSecKeySelect = "PROFILESELECT";
inline constexpr const char* kSecKeyLink = "PROFILELIKEEXE";
inline constexpr const char* kSecKeyProcess = "PROCESS";

inline constexpr const char* kMouseIni = "msProfile.ini";
inline constexpr const char* kKeyboardIni = "kbProfile.ini";
inline constexpr const char* kPadIni = "mpProfile.ini";

inline constexpr const char* kMouseFolder = "ms";
inline constexpr const char* kKeyboardFolder = "kb";
inline constexpr const char* kPadFolder = "mp";

inline constexpr int kProfileComboItemHeight = 25;  // pixels

inline constexpr const char* kFirstProfileName = "profile1";
inline constexpr const char* kMessageDefaultMissing = text::kProfileFileMissing;
inline constexpr const char* kMessageDefaultBad = text::kProfileFileBad;

inline constexpr const char* kDefaultMouseDevice = "msdevicedefault.config";
inline constexpr const char* kDefaultMouseLight = "msdengdefault.Led";
inline constexpr const char* kDefaultMouseKey = "mskeydefault.pro";
inline constexpr const char* kDefaultPadLight = "mpdengdefault.Led";
// Keyboard defaults by layout variant 0, 1, 2.
inline constexpr const char* kDefaultKeyboardLight[3] = {"kbdengdefault.led", "kb15dengdefault.led",
                                                         "kb16dengdefault.led"};
inline constexpr const char* kDefaultKeyboardKey[3] = {"kbkeydefault.pro", "kbkey15default.pro",
                                                       "kbkey16default.pro"};

}  // namespace trx
