#include "app/tray_menu.h"

#include "app/app_messages.h"
#include "app/language.h"
#include "pages/control_names.h"
#include "pages/name_split.h"
#include "platform/autostart.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/user_folders.h"
#include "ui/core/resource_manager.h"
#include "ui/window/menu_wnd.h"
#include "ui/window/win_api.h"

namespace trx::app {
namespace {

namespace names = pages::names;
using pages::SameName;

constexpr const char* kExitTextId = "menu_exit";

// The exit item's text: in the stored language, or the one in use.
std::string ExitText() {
  ui::CResourceManager* texts = ui::CResourceManager::GetInstance();
  const bool in_use_chinese = texts->GetLanguage() == InfoOf(Language::Chinese).resource_name;
  std::string stored;
  long language = in_use_chinese ? 1 : 0;
  if (GetPrivateProfileString(kSkinSection, kLanguageKey, "", stored, MainIniPath()) != 0)
    language = GetPrivateProfileLong(kSkinSection, kLanguageKey, MainIniPath());
  if (language != 0 && language != 1) return {};
  const Language chosen = language == 1 ? Language::Chinese : Language::English;
  if (chosen == (in_use_chinese ? Language::Chinese : Language::English)) return texts->GetText(kExitTextId);
  return texts->GetTextIn(InfoOf(chosen).file, kExitTextId);
}

}  // namespace

CTrayMenu::~CTrayMenu() {
  ui::CMenuWnd::DestroyMenu();
  delete menu_;
}

void CTrayMenu::OpenAtCursor() {
  ui::UiPoint at{};
  ui::GetCursorPos(&at);
  at.y -= 50;
  Open(at);
}

void CTrayMenu::OnMenuClick(ui::MenuCmd* cmd) {
  if (cmd == nullptr) return;
  const std::string name = cmd->szName;
  const std::string text = cmd->szText;
  pm_.DeletePtr(cmd);
  Run(name, text);
}

void CTrayMenu::Open(ui::UiPoint at) {
  if (menu_ != nullptr) {
    if (ui::IsWindow(menu_->GetHWND())) ui::CMenuWnd::DestroyMenu();
    delete menu_;
    menu_ = nullptr;
  }
  menu_ = new ui::CMenuWnd();
  menu_->Init(nullptr, "menu1.xml", at, &pm_, nullptr, ui::eMenuAlignment_Left | ui::eMenuAlignment_Top);
  ui::CMenuUI* body = menu_->GetMenuUI();
  if (body == nullptr) return;
  // Items the program adds take the height of the layout's first item.
  const int item_height = body->GetCount() > 0 ? body->GetItemAt(0)->GetFixedHeight() : 0;
  auto check = [&](const char* name, bool checked) {
    if (auto* item = dynamic_cast<ui::CMenuElementUI*>(body->FindSubControl(name))) item->SetChecked(checked);
  };
  const bool chinese = ui::CResourceManager::GetInstance()->GetLanguage() == InfoOf(Language::Chinese).resource_name;
  check(names::kMenuLanCn, chinese);
  check(names::kMenuLanEn, !chinese);
  check(names::kMenuAutostart, IsAutostartEnabled());
  check(names::kMenuOpenRgb, actions_.openrgb_running && actions_.openrgb_running());
  for (const Section& section : sections_) section.add(*body);
  // Exit comes last, after a separator, where desktop menus keep it.
  auto* separator = new ui::CMenuElementUI();
  separator->SetSeparator(true);
  separator->SetFixedHeight(kMenuSeparatorHeight);
  body->Add(separator);
  auto* exit_item = new ui::CMenuElementUI();
  exit_item->SetName(names::kMenuExit);
  if (item_height > 0) exit_item->SetFixedHeight(item_height);
  exit_item->SetText(ExitText());
  body->Add(exit_item);
  menu_->ResizeMenu();
}

void CTrayMenu::Run(const std::string& name, const std::string& text) {
  if (SameName(name, names::kMenuLanEn) || SameName(name, names::kMenuLanCn)) {
    SwitchLanguage(SameName(name, names::kMenuLanEn) ? Language::English : Language::Chinese, MainIniPath());
    actions_.language_switched();
    return;
  }
  if (SameName(name, names::kMenuAbout)) return actions_.about();
  if (SameName(name, names::kMenuExit)) return actions_.exit();
  if (SameName(name, names::kMenuAutostart)) {
    const bool enable = !IsAutostartEnabled();
    if (!SetAutostartEnabled(enable, CurrentExecutable()))
      DebugLineF("autostart entry %s could not be %s", AutostartEntryPath().c_str(), enable ? "written" : "removed");
    return;
  }
  if (SameName(name, names::kMenuOpenRgb)) return actions_.toggle_openrgb();
  if (SameName(name, names::kMenuQianting) || SameName(name, names::kMenuImport) ||
      SameName(name, names::kMenuExport))
    return;
  for (const Section& section : sections_)
    if (section.run(name)) return;
  actions_.show_text(text);
}

}  // namespace trx::app
