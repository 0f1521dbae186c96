#pragma once
// The tray icon's menu: what it shows (the layout "menu1.xml" with the
// language and autostart ticks, the sections other parts add, "Exit" last
// after a separator, its text from the language files) and what its
// items do. The window creates it, gives it its actions and sections, and
// opens it on a right click.
//
// The exit item's language: the stored choice ("main.ini" SKINIMAGE
// LANGUAGE: "0" English, "1" Chinese, another value no text), or the
// language in use while nothing is stored.
//
// UI thread.

#include <functional>
#include <string>
#include <vector>

#include "ui/core/ui_types.h"

namespace trx::ui {
class CMenuUI;
struct MenuCmd;
class CMenuWnd;
class CPaintManagerUI;
}

namespace trx::app {

class CTrayMenu {
 public:
  struct Actions {
    std::function<bool()> openrgb_running;      // ticks "openrgb"
    std::function<void()> toggle_openrgb;
    std::function<void()> language_switched;    // repaint after the switch
    std::function<void()> about;
    std::function<void()> exit;                 // asks about unsaved edits, then closes
    std::function<void(const std::string& text_id)> show_text;  // any other item: its text as a text id
  };
  // Items added by another part (backup, simulator), in the order added.
  struct Section {
    std::function<void(ui::CMenuUI& body)> add;
    std::function<bool(const std::string& name)> run;  // false: not its item
  };

  CTrayMenu(ui::CPaintManagerUI& pm, Actions actions) : pm_(pm), actions_(std::move(actions)) {}
  ~CTrayMenu();
  CTrayMenu(const CTrayMenu&) = delete;
  CTrayMenu& operator=(const CTrayMenu&) = delete;

  void AddSection(Section section) { sections_.push_back(std::move(section)); }
  // Opens a new menu at `at` (the previous one is freed).
  void Open(ui::UiPoint at);
  // Opens it a little above the cursor (the right click on the icon).
  void OpenAtCursor();
  // The menu last opened; null before.
  ui::CMenuWnd* Menu() const { return menu_; }
  // Runs an item by name (text: the item's text).
  void Run(const std::string& name, const std::string& text);
  // WM_MENUCLICK: runs the record's item and frees the record (null: nothing).
  void OnMenuClick(ui::MenuCmd* cmd);

 private:
  ui::CPaintManagerUI& pm_;
  Actions actions_;
  std::vector<Section> sections_;
  ui::CMenuWnd* menu_ = nullptr;  // owned; menus never free themselves
};

}  // namespace trx::app
