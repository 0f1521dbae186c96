#pragma once
// The interface language: the two languages, where the choice is kept
// ("main.ini" section "SKINIMAGE" key "LANGUAGE", and the machine-wide value
// "LANGUAGE"), the switch the tray menu runs and the choice at start-up.
//
//   language  resource name  file          main.ini  machine-wide
//   English   "en"           "lan_en.xml"  "0"       "1010"
//   Chinese   "cn_zh"        "lan_cn.xml"  "1"       "2020"
//
// Start-up: the stored choice counts ("main.ini", which the window first
// brings in step with the machine-wide value when that can be read); with
// nothing stored the desktop's locale decides (zh → Chinese, else English).
//
// UI thread only (the resource manager's language is loaded here).

#include <string>
#include <string_view>

namespace trx::app {

enum class Language { English, Chinese };

struct LanguageInfo {
  Language language;
  const char* resource_name;
  const char* file;
  const char* ini_value;
  const char* machine_value;
};

inline constexpr const char* kSkinSection = "SKINIMAGE";
inline constexpr const char* kLanguageKey = "LANGUAGE";
inline constexpr const char* kFlagsKey = "FLAGS";
inline constexpr const char* kImageKey = "IMAGE";

const LanguageInfo& InfoOf(Language language);

// Sets the resource manager's language name and loads its file. False when
// the file could not be loaded (the previous texts stay).
bool LoadLanguage(Language language);

// The tray menu's switch: loads the language, writes "main.ini" and the
// machine-wide value (the machine-wide write may fail without rights; that
// failure is expected and only the success is logged), then reloads every
// resource text. Returns false only when the language file failed to load.
bool SwitchLanguage(Language language, const std::string& main_ini);

// Copies the machine-wide value into "main.ini" ("1" for 2020, "0" for any
// other value). False (and the debug line) when it can't be read.
bool CopyMachineLanguageToIni(const std::string& main_ini);

// The language to start with: "LANGUAGE" of "main.ini" when present ("1"
// Chinese, any other value English), else the locale.
Language StartupLanguage(const std::string& main_ini, std::string_view locale);

// The desktop's locale: LC_ALL, LC_MESSAGES, LANG (first non-empty).
std::string DesktopLocale();
// "zh..." → Chinese, anything else → English.
Language LanguageOfLocale(std::string_view locale);

}  // namespace trx::app
