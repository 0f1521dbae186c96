#pragma once
// The button and key pages' routing rows built so far:
//  - keyboard key page: a key picked ("kb_key_" + index) brings the
//    function panel "kb_tab_function" back when it is hidden;
//  (the keyboard lighting page is keyboard_lighting_page.h)
//  - mouse button page: a button selected ("ms_key_" + index) ends the
//    selection handler before the macro-edit guard and before the input
//    hooks are removed (the button's key capture needs them).

#include "pages/page.h"

namespace trx::pages {

class CKeyboardKeyPage : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
};

class CMouseButtonsPage : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
  // After an onboard switch the button-function panel closes.
  void HideFunctionPanel();
};

}  // namespace trx::pages
