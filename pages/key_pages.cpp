#include "pages/key_pages.h"

#include "pages/control_names.h"
#include "pages/router.h"

namespace trx::pages {

void CKeyboardKeyPage::Bind(CRouter& router) {
  router.Add(Table::Click, {names::kKbKeyPrefix, Match::Prefix, [this](ui::TNotifyUI&, const NameSplit&) {
                              ui::CControlUI* panel = controls().Find(names::kKbTabFunction);
                              if (panel != nullptr && !panel->IsVisible()) {
                                panel->SetVisible(true);
                                panel->SetEnabled(true);
                              }
                            }});
}

}  // namespace trx::pages
