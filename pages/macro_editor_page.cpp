#include "pages/macro_editor_page.h"

#include "pages/control_names.h"
#include "pages/router.h"

namespace trx::pages {

namespace {
constexpr const char* kInsertInfix = "macro_inset_";
}  // namespace

void CMacroEditorPage::Bind(CRouter& router) {
  if (family_ == "ms_") {
    for (const char* option : names::kMacroRecordOptions)
      router.Add(Table::SelectBeforeGuard, {option, Match::Exact, nullptr, Then::End});
  }
  router.Add(Table::SelectBeforeGuard,
             {family_ == "ms_" ? names::kMsMacroBtnShubiao : names::kKbMacroBtnShubiao, Match::Exact, nullptr, Then::End});
  for (const names::RoutineInsert& insert : names::kRoutineInserts) {
    const std::string button = family_ + kInsertInfix + insert.button;
    router.Add(Table::Click, {button, Match::Exact, [this, button](ui::TNotifyUI&, const NameSplit&) {
                                ShowInsertPanel(button);
                              }});
  }
}

void CMacroEditorPage::ShowInsertPanel(const std::string& button) {
  const char* panel = nullptr;
  for (const names::RoutineInsert& insert : names::kRoutineInserts)
    if (SameName(button, family_ + kInsertInfix + insert.button)) panel = insert.panel;
  for (const char* p : names::kRoutinePanels)
    controls().Show(family_ + kInsertInfix + p, panel != nullptr && SameName(p, panel));
}

}  // namespace trx::pages
