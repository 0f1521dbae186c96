#include "pages/controls.h"

#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/option.h"

namespace trx::pages {

void Controls::Show(std::string_view name, bool visible) const {
  if (ui::CControlUI* c = Find(name)) c->SetVisible(visible);
}
void Controls::Enable(std::string_view name, bool enabled) const {
  if (ui::CControlUI* c = Find(name)) c->SetEnabled(enabled);
}
void Controls::Toggle(std::string_view name) const {
  if (ui::CControlUI* c = Find(name)) c->SetVisible(!c->IsVisible());
}
bool Controls::IsVisible(std::string_view name) const {
  ui::CControlUI* c = Find(name);
  return c != nullptr && c->IsVisible();
}
void Controls::ShowIfHidden(std::string_view name) const {
  ui::CControlUI* c = Find(name);
  if (c != nullptr && !c->IsVisible()) c->SetVisible(true);
}
void Controls::HideIfShown(std::string_view name) const {
  ui::CControlUI* c = Find(name);
  if (c != nullptr && c->IsVisible()) c->SetVisible(false);
}
void Controls::SelectPage(std::string_view tab_layout, int page) const {
  if (auto* tabs = As<ui::CTabLayoutUI>(tab_layout)) tabs->SelectItem(page);
}
int Controls::CurrentPage(std::string_view tab_layout) const {
  auto* tabs = As<ui::CTabLayoutUI>(tab_layout);
  return tabs != nullptr ? tabs->GetCurSel() : -1;
}
void Controls::SelectOption(std::string_view name, bool notify) const {
  if (auto* option = As<ui::COptionUI>(name)) option->Selected(true, notify);
}
void Controls::SetText(std::string_view name, std::string_view text) const {
  if (ui::CControlUI* c = Find(name)) c->SetText(text);
}
void Controls::SelectComboItem(std::string_view name, int index) const {
  if (auto* combo = As<ui::CComboUI>(name)) combo->SelectItem(index);
}

}  // namespace trx::pages
