#include "app/language.h"

#include <cstdlib>

#include "app/app_messages.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/machine_store.h"
#include "ui/core/resource_manager.h"

namespace trx::app {
namespace {

constexpr LanguageInfo kLanguages[] = {
    {Language::English, "en", "lan_en.xml", "0", "1010"},
    {Language::Chinese, "cn_zh", "lan_cn.xml", "1", "2020"},
};

}  // namespace

const LanguageInfo& InfoOf(Language language) {
  return language == Language::Chinese ? kLanguages[1] : kLanguages[0];
}

bool LoadLanguage(Language language) {
  const LanguageInfo& info = InfoOf(language);
  ui::CResourceManager* rm = ui::CResourceManager::GetInstance();
  rm->SetLanguage(info.resource_name);
  return rm->LoadLanguage(info.file);
}

bool SwitchLanguage(Language language, const std::string& main_ini) {
  const LanguageInfo& info = InfoOf(language);
  const bool loaded = LoadLanguage(language);
  if (!loaded) DebugLineF("language file %s could not be loaded", info.file);
  if (!WritePrivateProfileString(kSkinSection, kLanguageKey, info.ini_value, main_ini))
    DebugLineF("main.ini LANGUAGE could not be written: %s", main_ini.c_str());
  // Without the rights to the machine-wide store the write fails; the
  // choice still lives in main.ini.
  if (WriteMachineValue(kMachineKeyPath, kMachineLanguageValue, info.machine_value))
    DebugLine(kDebugRegistryWritten);
  ui::CResourceManager::GetInstance()->ReloadText();
  return loaded;
}

bool CopyMachineLanguageToIni(const std::string& main_ini) {
  std::string value;
  if (!ReadMachineValue(kMachineKeyPath, kMachineLanguageValue, value)) {
    DebugLine(kDebugRegistryReadFailed);
    return false;
  }
  const char* ini = std::strtol(value.c_str(), nullptr, 10) == 2020 ? "1" : "0";
  if (!WritePrivateProfileString(kSkinSection, kLanguageKey, ini, main_ini))
    DebugLineF("main.ini LANGUAGE could not be written: %s", main_ini.c_str());
  return true;
}

Language StartupLanguage(const std::string& main_ini, std::string_view locale) {
  std::string value;
  if (GetPrivateProfileString(kSkinSection, kLanguageKey, "", value, main_ini) > 0)
    return std::strtol(value.c_str(), nullptr, 10) == 1 ? Language::Chinese : Language::English;
  return LanguageOfLocale(locale);
}

std::string DesktopLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') return v;
  }
  return {};
}

Language LanguageOfLocale(std::string_view locale) {
  return locale.size() >= 2 && (locale[0] == 'z' || locale[0] == 'Z') && (locale[1] == 'h' || locale[1] == 'H')
             ? Language::Chinese
             : Language::English;
}

}  // namespace trx::app
